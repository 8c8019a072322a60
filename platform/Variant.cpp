#include "platform/Variant.h"

#include <QRegularExpression>
#include <cmath>

#include "platform/Failure.h"
#include "platform/Regional.h"

namespace platform {

namespace {
[[noreturn]] void invalidUseOfNull() {
    raise(errnum::InvalidUseOfNull, QStringLiteral("Uso no válido de Null"));
}

// Day count of the platform's date serial (30/12/1899 is day 0).
double dateSerial(const QDateTime& d) {
    static const QDate epoch(1899, 12, 30);
    const double days = static_cast<double>(epoch.daysTo(d.date()));
    return days + d.time().msecsSinceStartOfDay() / 86400000.0;
}
}  // namespace

QString numberText(double n, QChar sep) {
    if (std::isnan(n)) return QStringLiteral("0");
    if (n == std::floor(n) && std::fabs(n) < 1e15) return QString::number(static_cast<qint64>(n));
    QString s = QString::number(n, 'f', 10);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    s.replace(QLatin1Char('.'), sep);
    return s;
}

double leadingNumber(const QString& text) {
    const QChar dec = Regional::current().decimalSeparator;
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && text[i].isSpace()) ++i;
    QString digits;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) digits += text[i++];
    bool seenDigit = false, seenPoint = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.isDigit()) {
            digits += c;
            seenDigit = true;
        } else if (!seenPoint && (c == QLatin1Char('.') || c == dec)) {
            digits += QLatin1Char('.');
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit) return 0;
    return digits.toDouble();
}

double roundHalfEven(double n) {
    if (!std::isfinite(n)) return n;
    const double down = std::floor(n);
    const double rest = n - down;
    if (rest > 0.5) return down + 1;
    if (rest < 0.5) return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

qint64 toWholeNumber(const Variant& v) {
    double n = 0;
    switch (v.kind()) {
        case Variant::Kind::Text: {
            static const QRegularExpression number(
                QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
            QString t = v.text().trimmed();
            t.replace(Regional::current().decimalSeparator, QLatin1Char('.'));
            if (!number.match(t).hasMatch())
                raise(errnum::TypeMismatch,
                      QStringLiteral("No coinciden los tipos: \"%1\" no es un número.")
                          .arg(v.text().trimmed()));
            bool ok = false;
            n = t.toDouble(&ok);
            // Only an exponent beyond the range of a double fails to read here.
            if (!ok) n = HUGE_VAL;
            break;
        }
        default:
            n = v.toNumber();
            break;
    }
    const double whole = roundHalfEven(n);
    // 2^63 itself is out of range; every double below it converts exactly.
    constexpr double limit = 9223372036854775808.0;
    if (!(whole < limit && whole >= -limit))
        raise(errnum::Overflow, QStringLiteral("Desbordamiento"));
    return static_cast<qint64>(whole);
}

qint16 leadingInteger16(const QString& text) {
    const double n = roundHalfEven(leadingNumber(text));
    if (n > 32767 || n < -32768) raise(errnum::Overflow, QStringLiteral("Desbordamiento"));
    return static_cast<qint16>(n);
}

QString Variant::toText() const {
    switch (kind_) {
        case Kind::Empty:
            return {};
        case Kind::Null:
            invalidUseOfNull();
        case Kind::Number:
            return numberText(number_, Regional::current().decimalSeparator);
        case Kind::Text:
            return text_;
        case Kind::Date:
            return Regional::current().formatDate(date_);
        case Kind::Boolean:
            return boolean_ ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    }
    return {};
}

double Variant::toNumber() const {
    switch (kind_) {
        case Kind::Empty:
            return 0;
        case Kind::Null:
            invalidUseOfNull();
        case Kind::Number:
            return number_;
        case Kind::Text:
            return leadingNumber(text_);
        case Kind::Date:
            return dateSerial(date_);
        case Kind::Boolean:
            return boolean_ ? -1 : 0;
    }
    return 0;
}

bool Variant::toBool() const {
    switch (kind_) {
        case Kind::Empty:
        case Kind::Null:
            return false;
        case Kind::Number:
            return number_ != 0;
        case Kind::Text: {
            const QString t = text_.trimmed();
            if (t.compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0 ||
                t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                t.compare(QLatin1String("Verdadero"), Qt::CaseInsensitive) == 0)
                return true;
            return leadingNumber(t) != 0;
        }
        case Kind::Date:
            return dateSerial(date_) != 0;
        case Kind::Boolean:
            return boolean_;
    }
    return false;
}

bool Variant::operator==(const Variant& o) const {
    if (kind_ != o.kind_) return false;
    switch (kind_) {
        case Kind::Empty:
        case Kind::Null:
            return true;
        case Kind::Number:
            return number_ == o.number_;
        case Kind::Text:
            return text_ == o.text_;
        case Kind::Date:
            return date_ == o.date_;
        case Kind::Boolean:
            return boolean_ == o.boolean_;
    }
    return false;
}

}  // namespace platform
