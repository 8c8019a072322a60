#pragma once

#include <QDateTime>
#include <QString>

namespace platform {

// A value that carries its own type. Empty (never assigned) and Null (a missing database value)
// are distinct states, as the suite's code tells them apart.
class Variant {
  public:
    enum class Kind { Empty, Null, Number, Text, Date, Boolean };

    Variant() = default;
    Variant(double n) : kind_(Kind::Number), number_(n) {}
    Variant(int n) : kind_(Kind::Number), number_(n) {}
    Variant(qint64 n) : kind_(Kind::Number), number_(static_cast<double>(n)) {}
    Variant(const QString& s) : kind_(Kind::Text), text_(s) {}
    Variant(const char* s) : kind_(Kind::Text), text_(QString::fromUtf8(s)) {}
    Variant(const QDateTime& d) : kind_(Kind::Date), date_(d) {}
    Variant(const QDate& d) : kind_(Kind::Date), date_(d.startOfDay()) {}
    Variant(bool b) : kind_(Kind::Boolean), boolean_(b) {}

    static Variant null() {
        Variant v;
        v.kind_ = Kind::Null;
        return v;
    }

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isText() const { return kind_ == Kind::Text; }
    bool isDate() const { return kind_ == Kind::Date; }
    bool isBoolean() const { return kind_ == Kind::Boolean; }

    // Raw accessors; callers check the kind first.
    double number() const { return number_; }
    const QString& text() const { return text_; }
    const QDateTime& date() const { return date_; }
    bool boolean() const { return boolean_; }

    // The value's ordinary text form: numbers without exponent and with the regional decimal
    // separator, dates in the short date format (with the time when it is not midnight),
    // Booleans as "Verdadero"/"Falso", Empty as "". Null has no text form: toText() throws the
    // invalid-use error (94) then, textOr() gives the fallback.
    QString toText() const;
    QString textOr(const QString& fallback) const { return isNull() ? fallback : toText(); }

    // Numeric reading: numbers as they are, Booleans -1/0, texts by their leading number
    // (0 when none), dates as the day count used by the suite, Empty 0. Null throws (94).
    double toNumber() const;
    bool toBool() const;  // Empty/Null false; numbers non-zero; texts "SI"/"true"/non-zero

    bool operator==(const Variant& o) const;
    bool operator!=(const Variant& o) const { return !(*this == o); }

  private:
    Kind kind_ = Kind::Empty;
    double number_ = 0;
    QString text_;
    QDateTime date_;
    bool boolean_ = false;
};

// The leading numeric part of a text (blanks skipped, sign, digits, one decimal point given as "."
// or the regional separator); 0 when there is none.
double leadingNumber(const QString& text);

// Rounds to the nearest whole number, halves to the even one (2.5 gives 2, 3.5 gives 4), as the
// suite's conversions to integers do.
double roundHalfEven(double n);

// The value as a 64-bit whole number, converted as the suite converts to integers: numbers are
// rounded half to even; a text must be a number as a whole (blanks around it, a sign, "." or the
// regional decimal separator, an exponent), otherwise the type-mismatch error (13) is raised; a
// value beyond the 64-bit range (or not finite) raises the overflow error (6); Null raises 94.
qint64 toWholeNumber(const Variant& v);

// The leading number of a text (see leadingNumber) as a 16-bit integer, halves to even; the
// overflow error (6) beyond -32768..32767.
qint16 leadingInteger16(const QString& text);

// A number written without exponent, integral values without decimals, decimals with `sep`.
QString numberText(double n, QChar sep);

}  // namespace platform
