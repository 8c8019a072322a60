#include "lookup/AnchosConsulta.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "platform/Cp1252.h"
#include "platform/Variant.h"

namespace anchosconsulta {

namespace {

// Wider than any screen; a larger number in the file is a damaged one.
constexpr int kMasAncho = 10000;

// The two quoted fields of a line.
std::optional<std::pair<QString, QString>> campos(const QString& linea) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*\"([^\"]*)\"\\s*,\\s*\"([^\"]*)\"\\s*$"));
    const auto m = re.match(linea);
    if (!m.hasMatch()) return std::nullopt;
    return std::pair{m.captured(1), m.captured(2)};
}

QStringList lineas(const QByteArray& contenido) {
    return platform::cp1252::decode(contenido).split(QStringLiteral("\r\n"));
}

}  // namespace

std::vector<double> lee(const QByteArray& contenido, const QString& tabla, int columnas) {
    std::vector<double> anchos;
    for (const QString& linea : lineas(contenido)) {
        const auto c = campos(linea);
        if (!c || c->first.compare(tabla, Qt::CaseInsensitive) != 0) continue;
        qsizetype desde = 0;
        for (int i = 0; i < columnas; ++i) {
            const qsizetype barra = c->second.indexOf(QLatin1Char('|'), desde);
            if (barra < 0) break;
            // Read as a plain number: one too large for an amount is still a width (the widest).
            const double twips = platform::leadingNumber(c->second.mid(desde, barra - desde));
            if (static_cast<std::size_t>(i) < anchos.size())
                anchos[static_cast<std::size_t>(i)] = twips;
            else
                anchos.push_back(twips);
            desde = barra + 1;
        }
    }
    return anchos;
}

QByteArray reemplaza(const QByteArray& contenido, const QString& tabla,
                     const std::vector<int>& twips) {
    QStringList quedan;
    for (const QString& l : lineas(contenido)) {
        const auto c = campos(l);
        if (l.isEmpty() || (c && c->first.compare(tabla, Qt::CaseInsensitive) == 0)) continue;
        quedan << l;
    }
    QString anchos;
    for (const int t : twips) anchos += QString::number(t) + QLatin1Char('|');
    quedan << QStringLiteral("\"%1\",\"%2\"").arg(tabla, anchos);
    return platform::cp1252::encode(quedan.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

int pixeles(double twips) {
    // NaN and anything below a pixel give 1; the cast never sees a number beyond an int.
    if (!(twips >= 2.0 * kTwipsPorPixel)) return 1;
    if (twips >= static_cast<double>(kMasAncho) * kTwipsPorPixel) return kMasAncho;
    return static_cast<int>(twips / kTwipsPorPixel);
}

}  // namespace anchosconsulta
