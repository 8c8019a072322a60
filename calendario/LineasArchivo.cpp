#include "calendario/LineasArchivo.h"

namespace calendario {

bool LineasArchivo::abre(const QString& ruta, QString* error) {
    archivo_.setFileName(ruta);
    if (!archivo_.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("No se puede leer el calendario %1: %2")
                         .arg(ruta, archivo_.errorString());
        return false;
    }
    return true;
}

// Keeps the unread tail and appends the next block after it; false when nothing more came.
bool LineasArchivo::llena() {
    if (fin_) return false;
    bloque_.remove(0, pos_);
    pos_ = 0;
    const qsizetype tenia = bloque_.size();
    bloque_.resize(tenia + kBloque);
    const qint64 leidos = archivo_.read(bloque_.data() + tenia, kBloque);
    if (leidos < 0) fallo_ = archivo_.errorString();
    bloque_.resize(tenia + qMax<qint64>(leidos, 0));
    if (leidos <= 0) fin_ = true;
    return leidos > 0;
}

bool LineasArchivo::siguiente(QByteArrayView* linea) {
    qsizetype buscado = pos_;
    for (;;) {
        const qsizetype nl = bloque_.indexOf('\n', buscado);
        if (nl >= 0) {
            qsizetype fin = nl;
            if (fin > pos_ && bloque_[fin - 1] == '\r') --fin;
            *linea = QByteArrayView(bloque_.constData() + pos_, fin - pos_);
            pos_ = nl + 1;
            return true;
        }
        buscado = bloque_.size() - pos_;
        if (buscado >= kBloque) {
            *linea = QByteArrayView(bloque_.constData() + pos_, kBloque);
            pos_ += kBloque;
            return true;
        }
        if (!llena()) break;
    }
    if (pos_ >= bloque_.size()) return false;
    *linea = QByteArrayView(bloque_.constData() + pos_, bloque_.size() - pos_);
    pos_ = bloque_.size();
    return true;
}

}  // namespace calendario
