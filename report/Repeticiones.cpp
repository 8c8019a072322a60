#include "report/Repeticiones.h"

#include <algorithm>
#include <map>

#include "platform/Failure.h"

namespace {

QDate siguiente(const QDate& d, QChar unidad, qint64 cada) {
    // Steps too large for the calendar end the series instead of wrapping around.
    if (cada > 3000000 || cada < -3000000) return {};
    const int n = static_cast<int>(cada);
    switch (unidad.unicode()) {
        case 'D':
            return d.addDays(n);
        case 'S':
            return d.addDays(qint64(n) * 7);
        case 'M':
            return d.addMonths(n);
        case 'A':
            return d.addYears(n);
        default:
            return {};
    }
}

}  // namespace

Repeticiones::Repeticiones(const QDate& primera, const QString& frecuencia, qint64 cada,
                           qint64 total, const QDate& desde, const QDate& hasta) {
    if (total < 1 || !primera.isValid()) return;
    const QString codigo = frecuencia.trimmed().toUpper();
    const QChar unidad = codigo.size() == 1 ? codigo[0] : QChar();
    const bool conocida = QStringLiteral("DSMA").contains(unidad) && !unidad.isNull();
    if (total > 1 && !conocida) {
        platform::raise(
            platform::errnum::TypeMismatch,
            QStringLiteral("Frecuencia de mantenimiento desconocida: \"%1\"").arg(frecuencia));
    }
    std::map<qint64, qint64> porDia;
    auto agrega = [&](const QDate& d, qint64 veces) {
        if (d >= desde && d <= hasta) porDia[d.toJulianDay()] += veces;
    };
    if (total == 1 || cada == 0) {
        // Every repetition falls on the first day.
        agrega(primera, total);
    } else {
        QDate d = primera;
        for (qint64 k = 1; k <= total && d.isValid(); ++k) {
            agrega(d, 1);
            // The series only moves one way: once past the range it never comes back.
            if ((cada > 0 && d > hasta) || (cada < 0 && d < desde)) break;
            if (k < total) d = siguiente(d, unidad, cada);
        }
    }
    qint64 suma = 0;
    for (const auto& [dia, veces] : porDia) {
        dias_.push_back(dia);
        suma += veces;
        acumulado_.push_back(suma);
    }
}

qint64 Repeticiones::cuenta(const QDate& a, const QDate& b) const {
    if (dias_.empty() || b < a) return 0;
    const auto first = std::lower_bound(dias_.begin(), dias_.end(), a.toJulianDay());
    const auto last = std::upper_bound(dias_.begin(), dias_.end(), b.toJulianDay());
    if (first >= last) return 0;
    const auto i = first - dias_.begin();
    const auto j = last - dias_.begin() - 1;
    return acumulado_[static_cast<std::size_t>(j)] -
           (i > 0 ? acumulado_[static_cast<std::size_t>(i - 1)] : 0);
}
