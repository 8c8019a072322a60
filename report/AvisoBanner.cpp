#include "report/AvisoBanner.h"

#include "banner/Dll_Display.h"

void AvisoBanner::abre(const QString& titulo) {
    gCartel().CartelInicio(titulo, 0);
}

void AvisoBanner::muestra(const QString& linea1, const QString& linea2, const QString& linea3) {
    qint16 cancelado = 0;  // the generation offers no cancel
    gCartel().CartelMostrar(cancelado, platform::Variant(linea1), platform::Variant(linea2),
                            platform::Variant(linea3));
}

void AvisoBanner::cierra() {
    gCartel().CartelCerrar();
}
