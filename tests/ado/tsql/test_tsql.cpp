#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ado/tsql/Batch.h"
#include "ado/tsql/DateLiteral.h"
#include "ado/tsql/Tokens.h"

namespace {

using ado::tsql::Kind;
using ado::tsql::splitBatch;

// Every translation edits the token list: a text the tokens do not give back whole would be
// changed where no rewrite meant to change it.
TEST(TsqlTokens, JoiningTheTokensGivesBackTheInputAndEachRunIsOneToken) {
    const struct {
        const char* sql;
        std::vector<Kind> kinds;
    } cases[] = {
        {"SELECT a", {Kind::Word, Kind::Space, Kind::Word}},
        {"'It''s'", {Kind::String}},
        {"'open to the end", {Kind::String}},
        {"[A]]B] \"x\"\"y\"", {Kind::Bracket, Kind::Space, Kind::Quoted}},
        {"/* a /* nested */ still */x", {Kind::Comment, Kind::Word}},
        {"-- line\r\n1.5e3", {Kind::Comment, Kind::Space, Kind::Number}},
        {"@@IDENTITY #tmp $x",
         {Kind::Word, Kind::Space, Kind::Word, Kind::Space, Kind::Punct, Kind::Word}},
        {"a<>b", {Kind::Word, Kind::Punct, Kind::Punct, Kind::Word}},
        {"Año ñandú", {Kind::Word, Kind::Space, Kind::Word}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        const ado::tsql::Tokens t = ado::tsql::tokenize(sql);
        EXPECT_EQ(ado::tsql::join(t, 0, t.size()), sql) << c.sql;
        std::vector<Kind> kinds;
        for (const auto& tok : t) kinds.push_back(tok.kind);
        EXPECT_EQ(kinds, c.kinds) << c.sql;
    }
}

TEST(TsqlBatch, SplitsBatchesWhereTheServerWould) {
    const struct {
        const char* batch;
        std::vector<std::string> statements;
    } cases[] = {
        {"BEGIN TRANSACTION \r\r INSERT INTO T (A) VALUES ('x')\rUPDATE T SET A='y' WHERE B=1\r",
         {"BEGIN TRANSACTION", "INSERT INTO T (A) VALUES ('x')", "UPDATE T SET A='y' WHERE B=1"}},
        {"BEGIN TRANSACTION INSERT INTO T (A) VALUES (1) COMMIT TRANSACTION",
         {"BEGIN TRANSACTION", "INSERT INTO T (A) VALUES (1)", "COMMIT TRANSACTION"}},
        {"INSERT INTO T (A) VALUES ('UPDATE x; DELETE\r\nSELECT 1\r\nGO\r\n')\r\nDELETE FROM T",
         {"INSERT INTO T (A) VALUES ('UPDATE x; DELETE\r\nSELECT 1\r\nGO\r\n')", "DELETE FROM T"}},
        {"CREATE TABLE H (Id int, P int REFERENCES P (Id) ON DELETE CASCADE ON UPDATE CASCADE)\r\n"
         "INSERT INTO H VALUES (1, 1)",
         {"CREATE TABLE H (Id int, P int REFERENCES P (Id) ON DELETE CASCADE ON UPDATE CASCADE)",
          "INSERT INTO H VALUES (1, 1)"}},
        {"ALTER TABLE H ADD CONSTRAINT F FOREIGN KEY (P) REFERENCES P (Id) ON DELETE CASCADE",
         {"ALTER TABLE H ADD CONSTRAINT F FOREIGN KEY (P) REFERENCES P (Id) ON DELETE CASCADE"}},
        {"INSERT INTO T (A)\r\nSELECT A FROM U\r\nSELECT * FROM T",
         {"INSERT INTO T (A)\r\nSELECT A FROM U", "SELECT * FROM T"}},
        {"INSERT INTO T SELECT A FROM U SELECT 1", {"INSERT INTO T SELECT A FROM U SELECT 1"}},
        {"SELECT A FROM T\r\nUNION ALL\r\nSELECT A FROM U\r\nEXCEPT\nSELECT 1",
         {"SELECT A FROM T\r\nUNION ALL\r\nSELECT A FROM U\r\nEXCEPT\nSELECT 1"}},
        {"SELECT a FROM T WHERE b IN (\r\nSELECT TOP 1 b FROM U)\r\nSELECT 2",
         {"SELECT a FROM T WHERE b IN (\r\nSELECT TOP 1 b FROM U)", "SELECT 2"}},
        {"INSERT INTO T VALUES (1)\nSELECT @@IDENTITY",
         {"INSERT INTO T VALUES (1)", "SELECT @@IDENTITY"}},
        {"CREATE VIEW V AS\r\nSELECT a FROM T", {"CREATE VIEW V AS\r\nSELECT a FROM T"}},
        {"SELECT 1; ; SELECT 2;", {"SELECT 1", "SELECT 2"}},
        {"CREATE TABLE T (A int)\r\nGO\r\nINSERT INTO T VALUES (1)\r\ngo 2\r\n",
         {"CREATE TABLE T (A int)", "INSERT INTO T VALUES (1)"}},
        {"ALTER TABLE T ALTER COLUMN A varchar(10)\nALTER TABLE T DROP CONSTRAINT DF_A\n"
         "DROP TABLE U TRUNCATE TABLE V",
         {"ALTER TABLE T ALTER COLUMN A varchar(10)", "ALTER TABLE T DROP CONSTRAINT DF_A",
          "DROP TABLE U", "TRUNCATE TABLE V"}},
        {"-- INSERT in a comment\r\nSET NOCOUNT ON\r\nDECLARE @n int\r\nSET @n = 1\r\n"
         "EXEC p @n /* DELETE */ ROLLBACK",
         {"-- INSERT in a comment\r\nSET NOCOUNT ON", "DECLARE @n int\r\nSET @n = 1",
          "EXEC p @n /* DELETE */", "ROLLBACK"}},
        {"SELECT [INSERT], \"DELETE\" FROM T WHERE x = 'a;b'",
         {"SELECT [INSERT], \"DELETE\" FROM T WHERE x = 'a;b'"}},
        {"WITH C AS (SELECT 1 AS A)\r\nINSERT INTO T SELECT A FROM C",
         {"WITH C AS (SELECT 1 AS A)\r\nINSERT INTO T SELECT A FROM C"}},
        {"  \r\n;\r\n-- nothing\r\n", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const QString& s : splitBatch(QString::fromUtf8(c.batch)))
            got.push_back(s.toStdString());
        EXPECT_EQ(got, c.statements) << c.batch;
    }
}

TEST(TsqlDateLiteral, AShortDateInTheRegionalSeparatorsIsADateAndNothingElseIs) {
    platform::Regional dashes;
    dashes.dateSeparator = QLatin1Char('-');
    dashes.shortDateFormat = QStringLiteral("dd-MM-yyyy");
    const struct {
        const char* text;
        const platform::Regional& regional;
        const char* iso;  // null: not a date
    } cases[] = {
        {"15/03/2026", platform::Regional{}, "2026-03-15"},
        {"5/3/2026", platform::Regional{}, "2026-03-05"},
        {"15/03/2026 14:07", platform::Regional{}, "2026-03-15 14:07:00"},
        {"15/03/2026 14:07:09", platform::Regional{}, "2026-03-15 14:07:09"},
        {"29/02/2028", platform::Regional{}, "2028-02-29"},
        {"31/02/2026", platform::Regional{}, nullptr},
        {"29/02/2026", platform::Regional{}, nullptr},
        {"15-03-2026", platform::Regional{}, nullptr},
        {"15-03-2026", dashes, "2026-03-15"},
        {"15/03/2026x", platform::Regional{}, nullptr},
        {"2026-03-15", platform::Regional{}, nullptr},
        {"15/03/20266", platform::Regional{}, nullptr},
        {"1503/2026", platform::Regional{}, nullptr},
        {"", platform::Regional{}, nullptr},
    };
    for (const auto& c : cases) {
        const auto iso = ado::tsql::isoDate(QString::fromUtf8(c.text), c.regional);
        if (c.iso)
            EXPECT_EQ(iso.value_or(QStringLiteral("none")).toStdString(), c.iso) << c.text;
        else
            EXPECT_FALSE(iso.has_value()) << c.text << " -> " << iso->toStdString();
    }
}

}  // namespace
