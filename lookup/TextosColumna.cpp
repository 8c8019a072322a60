#include "lookup/TextosColumna.h"

#include <algorithm>
#include <cstring>

#include "platform/Failure.h"

void TextosColumna::agrega(QStringView texto) {
    const auto n = static_cast<quint32>(texto.size());
    // A text never straddles two blocks: one that does not fit starts the next.
    if (n > 0 && ((fin_ >> kBits) >= trozos_.size() || (fin_ & (kTrozo - 1)) + n > kTrozo))
        abreBloque(n);
    inicios_.push_back(fin_);
    if (n == 0) return;
    const quint32 tramo = fin_ >> kBits, dentro = fin_ & (kTrozo - 1);
    std::memcpy(trozos_[tramo] + dentro, texto.utf16(), std::size_t{n} * sizeof(char16_t));
    usados_[tramo] = dentro + n;
    fin_ += n;
}

void TextosColumna::abreBloque(quint32 n) {
    const quint32 dentro = fin_ & (kTrozo - 1);
    const quint32 tramos = std::max<quint32>(1, (n + kTrozo - 1) / kTrozo);
    const quint64 nuevoFin =
        quint64{fin_} + (dentro ? kTrozo - dentro : 0) + quint64{tramos} * kTrozo;
    if (nuevoFin > 0xFFFFFFFFull)
        platform::raise(platform::errnum::OutOfMemory, QStringLiteral("Memoria insuficiente"));
    if (dentro != 0) fin_ += kTrozo - dentro;
    // Stretches beyond the end, left by a text taken back, are not used again: the new block's
    // stretches must follow one another.
    trozos_.resize(std::min<std::size_t>(trozos_.size(), fin_ >> kBits));
    usados_.resize(trozos_.size());
    bloques_.push_back(std::make_unique_for_overwrite<char16_t[]>(std::size_t{tramos} * kTrozo));
    for (quint32 t = 0; t < tramos; ++t) {
        trozos_.push_back(bloques_.back().get() + std::size_t{t} * kTrozo);
        usados_.push_back(0);
    }
}

void TextosColumna::quitaUltimo() {
    if (inicios_.empty()) return;
    fin_ = inicios_.back();
    inicios_.pop_back();
    if ((fin_ >> kBits) < usados_.size()) usados_[fin_ >> kBits] = fin_ & (kTrozo - 1);
}

QStringView TextosColumna::texto(std::size_t i) const {
    const quint32 inicio = inicios_[i];
    const quint32 siguiente = i + 1 < inicios_.size() ? inicios_[i + 1] : fin_;
    const quint32 tramo = inicio >> kBits;
    if (siguiente == inicio || tramo >= trozos_.size()) return {};
    // The last text of a block ends where the block's use ends, not where the next text starts.
    const quint32 base = inicio & ~(kTrozo - 1);
    const quint32 fin = std::min(siguiente, base + usados_[tramo]);
    return {trozos_[tramo] + (inicio - base), static_cast<qsizetype>(fin - inicio)};
}

void TextosColumna::vacia() {
    bloques_.clear();
    trozos_.clear();
    usados_.clear();
    inicios_.clear();
    fin_ = 0;
}

void pliegaEn(QStringView texto, QString& destino) {
    destino.resize(texto.size());
    QChar* out = destino.data();
    char16_t anterior = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const char16_t c = texto[i].unicode();
        out[i] = QChar(pliegaCaracter(c, anterior));
        anterior = c;
    }
}

QString pliega(QStringView texto) {
    QString s;
    pliegaEn(texto, s);
    return s;
}
