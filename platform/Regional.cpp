#include "platform/Regional.h"

#include <QRegularExpression>

namespace platform {

namespace {
Regional& instance() {
    static Regional r;
    return r;
}

std::optional<QTime> parseTime(const QString& t) {
    if (t.isEmpty()) return QTime(0, 0);
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2})[:.](\\d{1,2})(?:[:.](\\d{1,2}))?$"));
    auto m = re.match(t);
    if (!m.hasMatch()) return std::nullopt;
    QTime time(m.captured(1).toInt(), m.captured(2).toInt(),
               m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!time.isValid()) return std::nullopt;
    return time;
}
}  // namespace

const Regional& Regional::current() {
    return instance();
}
void Regional::setCurrent(const Regional& r) {
    instance() = r;
}

std::optional<QDateTime> Regional::parseDate(const QString& text) const {
    const QString s = text.trimmed();
    if (s.isEmpty()) return std::nullopt;
    const int blank = s.indexOf(QLatin1Char(' '));
    const QString datePart = blank < 0 ? s : s.left(blank);
    const QString timePart = blank < 0 ? QString() : s.mid(blank + 1).trimmed();
    auto time = parseTime(timePart);
    if (!time) return std::nullopt;

    int y = 0, m = 0, d = 0;
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    auto im = iso.match(datePart);
    if (im.hasMatch()) {
        y = im.captured(1).toInt();
        m = im.captured(2).toInt();
        d = im.captured(3).toInt();
    } else {
        // Made once for each separator: texts are read by the hundred thousand.
        thread_local QChar madeFor;
        thread_local QRegularExpression dmy;
        if (madeFor != dateSeparator || !dmy.isValid() || dmy.pattern().isEmpty()) {
            madeFor = dateSeparator;
            const QString seps =
                QStringLiteral("[%1/.-]").arg(QRegularExpression::escape(dateSeparator));
            dmy = QRegularExpression(
                QStringLiteral("^(\\d{1,2})%1(\\d{1,2})%1(\\d{2}|\\d{4})$").arg(seps));
        }
        auto dm = dmy.match(datePart);
        if (!dm.hasMatch()) return std::nullopt;
        const int a = dm.captured(1).toInt(), b = dm.captured(2).toInt();
        const bool monthFirst =
            shortDateFormat.indexOf(QLatin1Char('M')) < shortDateFormat.indexOf(QLatin1Char('d'));
        d = monthFirst ? b : a;
        m = monthFirst ? a : b;
        y = dm.captured(3).toInt();
        if (dm.captured(3).size() == 2) y += y < 30 ? 2000 : 1900;  // the platform's 2-digit window
    }
    const QDate date(y, m, d);
    if (!date.isValid()) return std::nullopt;
    return QDateTime(date, *time);
}

QString Regional::formatDate(const QDateTime& d) const {
    QString out = d.date().toString(shortDateFormat);
    if (d.time() != QTime(0, 0)) {
        out +=
            QLatin1Char(' ') +
            d.time().toString(QStringLiteral("hh:mm:ss")).replace(QLatin1Char(':'), timeSeparator);
    }
    return out;
}

}  // namespace platform
