#include "ado/tsql/DateLiteral.h"

#include <QRegularExpression>

namespace ado::tsql {

namespace {

// A short date (two- or four-digit year) with an optional time, in the regional separators.
QRegularExpression makeShape(const platform::Regional& regional) {
    const QString dateSep = QRegularExpression::escape(QString(regional.dateSeparator));
    const QString timeSep =
        QStringLiteral("(?::|%1)").arg(QRegularExpression::escape(QString(regional.timeSeparator)));
    return QRegularExpression(
        QStringLiteral("^\\d{1,2}%1\\d{1,2}%1(?:\\d{4}|\\d{2})( +\\d{1,2}%2\\d{2}(?:%2\\d{2})?)?$")
            .arg(dateSep, timeSep));
}

}  // namespace

std::optional<QString> isoDate(const QString& text, const platform::Regional& regional) {
    // Cheap refusals first: most literals are no dates at all.
    if (text.size() < 6 || text.size() > 24 || !text.front().isDigit()) return std::nullopt;
    // The pattern is made once for each pair of separators.
    thread_local QChar madeFor[2] = {QChar(), QChar()};
    thread_local QRegularExpression shape;
    if (madeFor[0] != regional.dateSeparator || madeFor[1] != regional.timeSeparator) {
        madeFor[0] = regional.dateSeparator;
        madeFor[1] = regional.timeSeparator;
        shape = makeShape(regional);
    }
    const auto m = shape.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const auto date = regional.parseDate(text);
    if (!date) return std::nullopt;
    QString iso = date->date().toString(QStringLiteral("yyyy-MM-dd"));
    if (m.hasCaptured(1)) iso += date->time().toString(QStringLiteral(" HH:mm:ss"));
    return iso;
}

}  // namespace ado::tsql
