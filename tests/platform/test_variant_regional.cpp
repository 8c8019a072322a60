#include <gtest/gtest.h>

#include "platform/Failure.h"
#include "platform/Regional.h"
#include "platform/Variant.h"

using platform::Regional;
using platform::Variant;

TEST(Variant, EmptyNullAndValuesAreDistinctStates) {
    const Variant empty, null = Variant::null(), zero(0), blank(QString()), falso(false),
                         date(QDate(2026, 1, 31));
    const std::vector<Variant> all = {empty, null, zero, blank, falso, date};
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = 0; j < all.size(); ++j)
            EXPECT_EQ(i == j, all[i] == all[j]) << i << "," << j;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(null.isNull());
    EXPECT_FALSE(null.isEmpty());
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
        if (got && c.ok) EXPECT_EQ(*got, c.expected) << c.text;
    }
}

TEST(Regional, MonthFirstFormatReadsMonthFirst) {
    Regional r;
    r.shortDateFormat = QStringLiteral("MM/dd/yyyy");
    EXPECT_EQ(r.parseDate(QStringLiteral("03/05/2026"))->date(), QDate(2026, 3, 5));
    EXPECT_EQ(r.formatDate(QDateTime(QDate(2026, 3, 5), QTime(0, 0))),
              QStringLiteral("03/05/2026"));
}
