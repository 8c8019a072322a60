#include "calendario/SalidaArchivo.h"

#include <cstring>

namespace calendario {

bool SalidaArchivo::abre(const QString& ruta, QString* error) {
    archivo_.close();
    archivo_.setFileName(ruta);
    fallo_.clear();
    if (!archivo_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("No se puede crear el calendario %1: %2")
                         .arg(ruta, archivo_.errorString());
        return false;
    }
    if (!bloque_) bloque_ = std::make_unique_for_overwrite<char[]>(kBloque);
    usados_ = 0;
    return true;
}

void SalidaArchivo::agrega(const char* datos, qsizetype n) {
    if (!fallo_.isEmpty()) return;
    if (usados_ + n > kBloque) vacia();
    if (n > kBloque) {
        if (archivo_.write(datos, n) != n) fallo_ = archivo_.errorString();
        return;
    }
    std::memcpy(bloque_.get() + usados_, datos, size_t(n));
    usados_ += n;
}

void SalidaArchivo::vacia() {
    if (fallo_.isEmpty() && usados_ > 0 && archivo_.write(bloque_.get(), usados_) != usados_)
        fallo_ = archivo_.errorString();
    usados_ = 0;
}

bool SalidaArchivo::cierra(QString* error) {
    vacia();
    if (fallo_.isEmpty() && !archivo_.flush()) fallo_ = archivo_.errorString();
    archivo_.close();
    if (fallo_.isEmpty() && archivo_.error() != QFileDevice::NoError)
        fallo_ = archivo_.errorString();
    if (fallo_.isEmpty()) return true;
    if (error)
        *error = QStringLiteral("No se pudo escribir el calendario %1: %2")
                     .arg(archivo_.fileName(), fallo_);
    return false;
}

}  // namespace calendario
