#include <gtest/gtest.h>

#include <limits>

#include "platform/Failure.h"
#include "platform/Regional.h"
#include "platform/Variant.h"

using platform::Regional;
using platform::Variant;

TEST(Variant, EmptyNullAndValuesAreDistinctStates) {
    const Variant empty, null = Variant::null(), zero(0), blank{QString()}, falso(false),
                         date(QDate(2026, 1, 31));
    const std::vector<Variant> all = {empty, null, zero, blank, falso, date};
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = 0; j < all.size(); ++j)
            EXPECT_EQ(i == j, all[i] == all[j]) << i << "," << j;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isEmpty());
    EXPECT_TRUE(blank.isText()) << "an empty text is a text, not a Boolean";
}

TEST(Variant, TextFormsFollowTheRegionalSettings) {
    struct Case {
        Variant v;
        const char* text;
    } cases[] = {
        {Variant(1234.5), "1234,5"},
        {Variant(qint64(42)), "42"},
        {Variant(-0.25), "-0,25"},
        {Variant(QDate(2026, 3, 5)), "05/03/2026"},
        {Variant(QDateTime(QDate(2026, 3, 5), QTime(14, 7))), "05/03/2026 14:07:00"},
        {Variant(true), "Verdadero"},
        {Variant(), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.v.toText(), QString::fromUtf8(c.text));
}

TEST(Variant, NullHasNoTextOrNumberForm) {
    try {
        (void)Variant::null().toText();
        FAIL() << "a null has no text form";
    } catch (const platform::Failure& f) {
        EXPECT_EQ(f.info().number, platform::errnum::InvalidUseOfNull);
    }
    EXPECT_THROW((void)Variant::null().toNumber(), platform::Failure);
    EXPECT_EQ(Variant::null().textOr(QStringLiteral("x")), QStringLiteral("x"));
}

TEST(Variant, LeadingNumberTakesOnlyTheNumericStart) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"45", 45},       {"  45abc", 45}, {"abc", 0},     {"", 0},    {"-3,5x", -3.5},
                 {"12.75", 12.75}, {"+7", 7},       {"1,2,3", 1.2}, {"   ", 0}, {"-", 0}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(platform::leadingNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(Regional, ParsesDatesAsThePlatformConversionDoes) {
    const Regional r;
    struct Case {
        const char* text;
        bool ok;
        QDateTime expected;
    } cases[] = {
        {"31/01/2026", true, QDateTime(QDate(2026, 1, 31), QTime(0, 0))},
        {"5/3/2026", true, QDateTime(QDate(2026, 3, 5), QTime(0, 0))},
        {"29/02/2028", true, QDateTime(QDate(2028, 2, 29), QTime(0, 0))},
        {"05/03/26", true, QDateTime(QDate(2026, 3, 5), QTime(0, 0))},
        {"05/03/2026 14:07", true, QDateTime(QDate(2026, 3, 5), QTime(14, 7))},
        {"05/03/2026 14:07:09", true, QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9))},
        {"2026-03-05", true, QDateTime(QDate(2026, 3, 5), QTime(0, 0))},
        {"31/02/2026", false, {}},
        {"29/02/2026", false, {}},
        {"13/13/2026", false, {}},
        {"05/03/2026 25:00", false, {}},
        {"hola", false, {}},
        {"", false, {}},
        {"2026", false, {}},
    };
    for (const auto& c : cases) {
        const auto got = r.parseDate(QString::fromUtf8(c.text));
        EXPECT_EQ(got.has_value(), c.ok) << c.text;
        if (got && c.ok) {
            EXPECT_EQ(*got, c.expected) << c.text;
        }
    }
}

TEST(Regional, MonthFirstFormatReadsMonthFirst) {
    Regional r;
    r.shortDateFormat = QStringLiteral("MM/dd/yyyy");
    EXPECT_EQ(r.parseDate(QStringLiteral("03/05/2026"))->date(), QDate(2026, 3, 5));
    EXPECT_EQ(r.formatDate(QDateTime(QDate(2026, 3, 5), QTime(0, 0))),
              QStringLiteral("03/05/2026"));
}

TEST(Variant, WholeNumbersAreReadAsTheSuiteConvertsThem) {
    constexpr qint32 kOk = 0;
    struct Case {
        Variant v;
        qint32 error;  // the error raised, kOk when none
        qint64 expected;
    } cases[] = {
        {Variant(12), kOk, 12},
        {Variant(2.5), kOk, 2},
        {Variant(3.5), kOk, 4},
        {Variant(-2.5), kOk, -2},
        {Variant(-3.5), kOk, -4},
        {Variant(2.51), kOk, 3},
        {Variant(1e15), kOk, 1000000000000000},
        {Variant(QStringLiteral(" 12 ")), kOk, 12},
        {Variant(QStringLiteral("-7")), kOk, -7},
        {Variant(QStringLiteral("2,5")), kOk, 2},
        {Variant(QStringLiteral("3.5")), kOk, 4},
        {Variant(QStringLiteral("1e3")), kOk, 1000},
        {Variant(true), kOk, -1},
        {Variant(), kOk, 0},
        {Variant(QStringLiteral("xyz")), platform::errnum::TypeMismatch, 0},
        {Variant(QStringLiteral("abc")), platform::errnum::TypeMismatch, 0},
        {Variant(QStringLiteral("12abc")), platform::errnum::TypeMismatch, 0},
        {Variant(QStringLiteral("")), platform::errnum::TypeMismatch, 0},
        {Variant(QStringLiteral("1 2")), platform::errnum::TypeMismatch, 0},
        {Variant(1e300), platform::errnum::Overflow, 0},
        {Variant(-1e300), platform::errnum::Overflow, 0},
        {Variant(9223372036854775808.0), platform::errnum::Overflow, 0},
        {Variant(QStringLiteral("1e300")), platform::errnum::Overflow, 0},
        {Variant(QStringLiteral("1e999")), platform::errnum::Overflow, 0},
        {Variant(std::numeric_limits<double>::infinity()), platform::errnum::Overflow, 0},
        {Variant(std::numeric_limits<double>::quiet_NaN()), platform::errnum::Overflow, 0},
        {Variant::null(), platform::errnum::InvalidUseOfNull, 0},
    };
    for (const auto& c : cases) {
        const QString shown = c.v.isNull() ? QStringLiteral("Null") : c.v.toText();
        try {
            const qint64 got = platform::toWholeNumber(c.v);
            EXPECT_EQ(c.error, kOk) << shown.toStdString() << " gave " << got;
            EXPECT_EQ(got, c.expected) << shown.toStdString();
        } catch (const platform::Failure& f) {
            EXPECT_EQ(f.info().number, c.error) << shown.toStdString();
        }
    }
}
