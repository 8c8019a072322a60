#include "calendario/UidVisita.h"

#include <QCryptographicHash>

namespace calendario::uid {

namespace {

bool seQueda(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

int digito(char c) {
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

int numero(QByteArrayView t, int desde, int cuantos) {
    int n = 0;
    for (int i = desde; i < desde + cuantos; ++i) {
        const int d = digito(t[i]);
        if (d < 0) return -1;
        n = n * 10 + d;
    }
    return n;
}

}  // namespace

QByteArray claveEnUid(const QString& clave) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = clave.toUtf8();
    QByteArray r;
    r.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (seQueda(c)) {
            r += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            r += '_';
            r += kHex[b >> 4];
            r += kHex[b & 15];
        }
    }
    return r;
}

QByteArray sufijoBase(const QString& baseDatos) {
    const QByteArray h = QCryptographicHash::hash(baseDatos.toUtf8(), QCryptographicHash::Sha1);
    return '-' + h.left(8).toHex() + "@cronequipo";
}

QByteArray uid(const QDate& dia, const QByteArray& claveEscapada, const QByteArray& sufijo) {
    QByteArray r(kDigitosFecha + 1, '-');
    ponFecha(r.data(), dia);
    return r + claveEscapada + sufijo;
}

Partes partes(QByteArrayView texto, QByteArrayView sufijo) {
    if (texto.size() < kDigitosFecha + 1 + sufijo.size() || texto[kDigitosFecha] != '-' ||
        !texto.endsWith(sufijo))
        return {};
    const QDate dia(numero(texto, 0, 4), numero(texto, 4, 2), numero(texto, 6, 2));
    if (!dia.isValid()) return {};
    return {dia, texto.sliced(kDigitosFecha + 1, texto.size() - kDigitosFecha - 1 - sufijo.size())};
}

std::uint64_t huella(QByteArrayView claveEscapada) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : claveEscapada) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

void ponFecha(char* destino, const QDate& dia) {
    int a = 0, m = 0, d = 0;
    dia.getDate(&a, &m, &d);
    for (int i = 3; i >= 0; --i, a /= 10) destino[i] = char('0' + a % 10);
    destino[4] = char('0' + m / 10);
    destino[5] = char('0' + m % 10);
    destino[6] = char('0' + d / 10);
    destino[7] = char('0' + d % 10);
}

}  // namespace calendario::uid
