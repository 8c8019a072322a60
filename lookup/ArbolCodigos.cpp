#include "lookup/ArbolCodigos.h"

#include <QStringView>
#include <cstdint>
#include <unordered_map>

namespace arbol {

namespace {

// One unit as Qt's case-insensitive comparison folds it: a low surrogate with the high one
// before it, any other unit alone. Two texts compare equal exactly when these agree unit by unit.
char32_t plegado(QStringView s, qsizetype i) {
    const char16_t u = s[i].unicode();
    if (u < 0x80) return u >= u'A' && u <= u'Z' ? u + (u'a' - u'A') : u;
    char32_t ucs4 = u;
    if (QChar::isLowSurrogate(u) && i > 0 && QChar::isHighSurrogate(s[i - 1].unicode()))
        ucs4 = QChar::surrogateToUcs4(s[i - 1].unicode(), u);
    return QChar::toCaseFolded(ucs4);
}

// The codes that fold to the same text: the first read (the others follow it through
// `siguiente`), the last, and the one that later codes hang from.
struct Clase {
    int muestra = 0;
    int ultimo = 0;
    int primero = 0;
};

uint64_t llave(uint64_t hash, qsizetype largo) {
    return hash ^ (static_cast<uint64_t>(largo) * 0x9E3779B97F4A7C15ULL);
}

}  // namespace

std::vector<int> padresPorPrefijo(const std::vector<QString>& codigos) {
    std::vector<int> padres(codigos.size(), kRaiz);
    // Folded prefixes by their hash and length; a hash shared by chance is told apart by the
    // comparison itself, so a collision costs time and never a wrong parent.
    std::unordered_multimap<uint64_t, int> prefijos;
    prefijos.reserve(codigos.size());
    std::vector<Clase> clases;
    std::vector<int> siguiente(codigos.size(), -1);
    std::vector<uint64_t> hashes;
    for (size_t i = 0; i < codigos.size(); ++i) {
        const QString& codigo = codigos[i];
        if (codigo.isEmpty()) {
            padres[i] = kRepetido;
            continue;
        }
        const qsizetype largo = codigo.size();
        hashes.resize(static_cast<size_t>(largo));
        uint64_t h = 0;
        for (qsizetype k = 0; k < largo; ++k) {
            h = (h + plegado(codigo, k) + 1) * 0x100000001B3ULL;
            hashes[static_cast<size_t>(k)] = llave(h, k + 1);
        }
        // From the longest prefix down: the first one some earlier code folds to is the parent.
        int propia = -1;
        for (qsizetype m = largo; m > 0 && padres[i] == kRaiz; --m) {
            const auto [desde, hasta] = prefijos.equal_range(hashes[static_cast<size_t>(m - 1)]);
            for (auto it = desde; it != hasta; ++it) {
                const Clase& c = clases[static_cast<size_t>(it->second)];
                const QStringView prefijo = QStringView(codigo).left(m);
                const QString& muestra = codigos[static_cast<size_t>(c.muestra)];
                // The same text is the usual case and a plain comparison of memory.
                if (prefijo != muestra && prefijo.compare(muestra, Qt::CaseInsensitive) != 0)
                    continue;
                padres[i] = c.primero;
                if (m == largo) propia = it->second;
                break;
            }
        }
        const int yo = static_cast<int>(i);
        if (propia < 0) {
            prefijos.emplace(hashes.back(), static_cast<int>(clases.size()));
            clases.push_back({yo, yo, yo});
            continue;
        }
        // The same code read again folds to the same text: it is among the class's codes.
        Clase& clase = clases[static_cast<size_t>(propia)];
        for (int k = clase.muestra; k >= 0 && padres[i] != kRepetido;
             k = siguiente[static_cast<size_t>(k)])
            if (codigos[static_cast<size_t>(k)] == codigo) padres[i] = kRepetido;
        if (padres[i] == kRepetido) continue;
        siguiente[static_cast<size_t>(clase.ultimo)] = yo;
        clase.ultimo = yo;
        if (codigo < codigos[static_cast<size_t>(clase.primero)]) clase.primero = yo;
    }
    return padres;
}

}  // namespace arbol
