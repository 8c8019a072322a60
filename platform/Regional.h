#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace platform {

// The machine's regional settings that the suite's texts depend on, kept in one place.
struct Regional {
    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");  // Qt pattern
    QChar dateSeparator = QLatin1Char('/');
    QChar timeSeparator = QLatin1Char(':');
    QChar decimalSeparator = QLatin1Char(',');
    // Month and day names, and the first day of the week of calendars.
    QLocale locale{QLocale::Spanish, QLocale::Spain};
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;

    // Reads a text as a date the way the platform's date conversion does under these settings:
    // day/month/year in the short date order (year of 2 or 4 digits), or ISO year-month-day,
    // either optionally followed by a time h:mm[:ss]. Anything else (31/02/2026 among them) gives
    // no value.
    std::optional<QDateTime> parseDate(const QString& text) const;

    // Date in the short date format; the time is appended (hh:mm:ss) when it is not midnight.
    QString formatDate(const QDateTime& d) const;

    static const Regional& current();
    static void setCurrent(const Regional& r);
};

}  // namespace platform
