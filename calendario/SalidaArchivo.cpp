#include "calendario/SalidaArchivo.h"

namespace calendario {

bool SalidaArchivo::abre(const QString& ruta, QString* error) {
    archivo_.setFileName(ruta);
    fallo_.clear();
    if (!archivo_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("No se puede crear el calendario %1: %2")
                         .arg(ruta, archivo_.errorString());
        return false;
    }
    bloque_.reserve(kBloque);
    bloque_.resize(0);
    return true;
}

void SalidaArchivo::agrega(const char* datos, qsizetype n) {
    if (!fallo_.isEmpty()) return;
    if (bloque_.size() + n > kBloque) vacia();
    if (n > kBloque) {
        if (archivo_.write(datos, n) != n) fallo_ = archivo_.errorString();
        return;
    }
    bloque_.append(datos, n);
}

void SalidaArchivo::vacia() {
    if (fallo_.isEmpty() && !bloque_.isEmpty() &&
        archivo_.write(bloque_.constData(), bloque_.size()) != bloque_.size())
        fallo_ = archivo_.errorString();
    bloque_.resize(0);
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
