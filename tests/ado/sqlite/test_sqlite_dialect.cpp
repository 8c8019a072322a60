#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QRegularExpression>
#include <string>
#include <vector>

#include "ado/sqlite/SqliteDialect.h"
#include "ado/tsql/Batch.h"

namespace {

using ado::sqlite_dialect::translate;
using ado::tsql::splitBatch;

struct Case {
    const char* input;
    const char* expected;
};

std::string translated(const char* sql, bool collation = false,
                       const platform::Regional& regional = platform::Regional{}) {
    return translate(QString::fromUtf8(sql), regional, collation).toStdString();
}

void expectAll(const std::vector<Case>& cases, bool collation = false) {
    for (const Case& c : cases) EXPECT_EQ(translated(c.input, collation), c.expected) << c.input;
}

TEST(SqliteDialectTranslate, RemovesNolockHints) {
    expectAll({
        {"SELECT * FROM T with(nolock) WHERE A = 1", "SELECT * FROM T WHERE A = 1"},
        {"SELECT * FROM T a WITH ( NOLOCK ) INNER JOIN U b (nolock) ON a.x = b.x",
         "SELECT * FROM T a INNER JOIN U b ON a.x = b.x"},
        {"SELECT * FROM T WITH (NOLOCK)", "SELECT * FROM T"},
        {"SELECT * FROM T(NOLOCK)WHERE a=1", "SELECT * FROM T WHERE a=1"},
        {"SELECT '(nolock)' FROM T /* WITH (NOLOCK) */",
         "SELECT '(nolock)' FROM T /* WITH (NOLOCK) */"},
    });
}

TEST(SqliteDialectTranslate, TurnsTopIntoLimit) {
    expectAll({
        {"SELECT TOP 5 a FROM T", "SELECT a FROM T LIMIT 5"},
        {"SELECT DISTINCT TOP (10) a FROM T ORDER BY a DESC",
         "SELECT DISTINCT a FROM T ORDER BY a DESC LIMIT 10"},
        {"SELECT TOP (@n) a FROM T", "SELECT a FROM T LIMIT @n"},
        {"SELECT TOP (2 -- rows\n) a FROM T", "SELECT a FROM T LIMIT 2"},
        {"select top 1 a from T where b in (select top 3 b from U order by c)",
         "select a from T where b in (select b from U order by c LIMIT 3) LIMIT 1"},
        {"SELECT a, (SELECT TOP 1 b FROM U WHERE U.k = T.k ORDER BY d) AS b FROM T",
         "SELECT a, (SELECT b FROM U WHERE U.k = T.k ORDER BY d LIMIT 1) AS b FROM T"},
        {"INSERT INTO T (a) SELECT TOP 3 a FROM U ORDER BY a",
         "INSERT INTO T (a) SELECT a FROM U ORDER BY a LIMIT 3"},
        // a LIMIT after the comment would be commented out
        {"SELECT TOP 2 a FROM T -- last\n", "SELECT a FROM T LIMIT 2 -- last\n"},
        {"SELECT TOP 1 a FROM T UNION ALL SELECT TOP 1 b FROM U ORDER BY 1",
         "SELECT * FROM (SELECT a FROM T LIMIT 1) UNION ALL "
         "SELECT * FROM (SELECT b FROM U LIMIT 1) ORDER BY 1"},
        {"SELECT TOP 100 PERCENT a FROM T ORDER BY a", "SELECT a FROM T ORDER BY a"},
        {"SELECT TOP 50 PERCENT a FROM T", "SELECT TOP 50 PERCENT a FROM T"},
        {"SELECT 'TOP 5' AS [TOP] FROM T", "SELECT 'TOP 5' AS [TOP] FROM T"},
    });
}

TEST(SqliteDialectTranslate, RewritesFunctions) {
    expectAll({
        {"SELECT LEN(a) FROM T", "SELECT length(rtrim(a)) FROM T"},
        {"SELECT len (a + 'x') FROM T", "SELECT length(rtrim(a || 'x')) FROM T"},
        {"SELECT ISNULL(a, 0), IsNull(b,'') FROM T", "SELECT ifnull(a, 0), ifnull(b,'') FROM T"},
        {"SELECT SUBSTRING(a, 2, 3) FROM T", "SELECT substr(a, 2, 3) FROM T"},
        {"SELECT CHARINDEX('-', a) FROM T", "SELECT instr(a, '-') FROM T"},
        {"SELECT CHARINDEX(',', SUBSTRING(a, 1, f(b, c)))",
         "SELECT instr(substr(a, 1, f(b, c)), ',')"},
        {"SELECT LEN(ISNULL(CHARINDEX('x', a), ''))",
         "SELECT length(rtrim(ifnull(instr(a, 'x'), '')))"},
        {"SELECT CHARINDEX('b', a, 3)",
         "SELECT ((instr(substr(a, max(3, 1)), 'b') + max(3, 1) - 1) * "
         "(instr(substr(a, max(3, 1)), 'b') > 0))"},
        {"SELECT CHARINDEX(a -- what\n, b)", "SELECT instr(b, a)"},
        {"SELECT * FROM T WHERE F < GETDATE()",
         "SELECT * FROM T WHERE F < datetime('now','localtime')"},
        {"SELECT 'LEN(a)', [LEN], t.len FROM T", "SELECT 'LEN(a)', [LEN], t.len FROM T"},
    });
}

TEST(SqliteDialectTranslate, TemporaryTablesAndJoinedTextsAreSQLitesOwn) {
    expectAll({
        {"CREATE TABLE #ot (id INT)", "CREATE TEMP TABLE ot (id INT)"},
        {"INSERT INTO #ot SELECT id FROM ##otra o JOIN T ON T.a = o.id",
         "INSERT INTO ot SELECT id FROM otra o JOIN T ON T.a = o.id"},
        {"DROP TABLE #ot", "DROP TABLE ot"},
        {"SELECT '#ot', [#ot] FROM T", "SELECT '#ot', [#ot] FROM T"},
        {"SELECT a + ' ' + b, a + b, n + 1 FROM T", "SELECT a || ' ' || b, a + b, n + 1 FROM T"},
    });
}

TEST(SqliteDialectTranslate, RemovesOwnerAndNationalPrefix) {
    expectAll({
        {"SELECT * FROM dbo.T INNER JOIN [dbo].[U] ON T.a = U.a",
         "SELECT * FROM T INNER JOIN [U] ON T.a = U.a"},
        {"EXEC DBO.Proc1 'dbo.T'", "EXEC Proc1 'dbo.T'"},
        {"UPDATE T SET a = N'Año', b = n'It''s' WHERE N = 'N'",
         "UPDATE T SET a = 'Año', b = 'It''s' WHERE N = 'N'"},
    });
}

TEST(SqliteDialectTranslate, ConvertsShortDateLiterals) {
    expectAll({
        {"WHERE F = '31/01/2026'", "WHERE F = '2026-01-31'"},
        {"WHERE F >= '5/3/2026 14:07'", "WHERE F >= '2026-03-05 14:07:00'"},
        {"WHERE F < N'05/03/2026 9:07:09'", "WHERE F < '2026-03-05 09:07:09'"},
        {"WHERE F = '29/02/2024'", "WHERE F = '2024-02-29'"},
        {"WHERE F = '31/02/2026'", "WHERE F = '31/02/2026'"},
        {"WHERE F = '29/02/2026'", "WHERE F = '29/02/2026'"},
        {"WHERE F = '31/01/26'", "WHERE F = '2026-01-31'"},
        {"WHERE F = '31/01/26 10:30'", "WHERE F = '2026-01-31 10:30:00'"},
        {"WHERE F = '2026-01-31'", "WHERE F = '2026-01-31'"},
        {"WHERE F = '31/01/2026 25:00'", "WHERE F = '31/01/2026 25:00'"},
        {"WHERE D = 'Pedido 31/01/2026'", "WHERE D = 'Pedido 31/01/2026'"},
        {"WHERE D = 31/01/2026", "WHERE D = 31/01/2026"},
    });

    platform::Regional monthFirst;
    monthFirst.shortDateFormat = QStringLiteral("MM-dd-yyyy");
    monthFirst.dateSeparator = QLatin1Char('-');
    EXPECT_EQ(translated("WHERE F = '01-31-2026'", false, monthFirst), "WHERE F = '2026-01-31'");
    EXPECT_EQ(translated("WHERE F = '31-01-2026'", false, monthFirst), "WHERE F = '31-01-2026'");
}

TEST(SqliteDialectTranslate, DateLiteralsChangeOnlyWhereTheyMeetADateColumn) {
    const ado::sqlite_dialect::DateColumns dates = [](const QString& table, const QString& column) {
        return table.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0 &&
               (column.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0 ||
                column.compare(QLatin1String("Alta"), Qt::CaseInsensitive) == 0);
    };
    const std::vector<Case> cases = {
        {"UPDATE T SET Texto = '15/03/2026'", "UPDATE T SET Texto = '15/03/2026'"},
        {"UPDATE T SET F = '15/03/2026', Texto = '16/03/2026'",
         "UPDATE T SET F = '2026-03-15', Texto = '16/03/2026'"},
        {"SELECT * FROM T WHERE F >= '01/12/2026'", "SELECT * FROM T WHERE F >= '2026-12-01'"},
        {"SELECT * FROM T WHERE '01/12/2026' <= T.F", "SELECT * FROM T WHERE '2026-12-01' <= T.F"},
        {"SELECT * FROM T WHERE Texto = '01/12/2026'",
         "SELECT * FROM T WHERE Texto = '01/12/2026'"},
        {"SELECT * FROM T WHERE F BETWEEN '01/12/26' AND '31/12/26 23:59'",
         "SELECT * FROM T WHERE F BETWEEN '2026-12-01' AND '2026-12-31 23:59:00'"},
        {"SELECT * FROM T WHERE Alta NOT IN ('01/12/2026', '02/12/2026')",
         "SELECT * FROM T WHERE Alta NOT IN ('2026-12-01', '2026-12-02')"},
        {"SELECT * FROM T WHERE Texto IN ('01/12/2026')",
         "SELECT * FROM T WHERE Texto IN ('01/12/2026')"},
        {"INSERT INTO T (Texto, F) VALUES ('15/03/2026', '15/03/26 10:30')",
         "INSERT INTO T (Texto, F) VALUES ('15/03/2026', '2026-03-15 10:30:00')"},
        {"INSERT INTO dbo.T (Texto, F) VALUES ('a', '15/03/2026'), ('15/03/2026', 'x')",
         "INSERT INTO T (Texto, F) VALUES ('a', '2026-03-15'), ('15/03/2026', 'x')"},
        {"INSERT INTO T (F, Texto) SELECT '15/03/2026', '15/03/2026' FROM U",
         "INSERT INTO T (F, Texto) SELECT '15/03/2026', '15/03/2026' FROM U"},
        {"SELECT YEAR('15/03/2026') FROM U",
         "SELECT CAST(strftime('%Y', '2026-03-15') AS INTEGER) FROM U"},
        {"SELECT CAST('15/03/2026' AS DATETIME) FROM U",
         "SELECT CAST('2026-03-15' AS DATETIME) FROM U"},
        {"SELECT * FROM U WHERE F = '15/03/2026'", "SELECT * FROM U WHERE F = '15/03/2026'"},
        {"SELECT * FROM U u, T t WHERE t.F < '15/03/2026'",
         "SELECT * FROM U u, T t WHERE t.F < '2026-03-15'"},
        {"SELECT * FROM T a INNER JOIN U b ON a.N = b.N WHERE a.F < '15/03/2026'",
         "SELECT * FROM T a INNER JOIN U b ON a.N = b.N WHERE a.F < '2026-03-15'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            translate(QString::fromUtf8(c.input), platform::Regional{}, false, dates).toStdString(),
            c.expected)
            << c.input;
    }
    const struct Parametros {
        const char* sql;
        std::vector<bool> dates;
    } parametros[] = {
        {"INSERT INTO T (Texto, F) VALUES (?, ?), (?, ?)", {false, true, false, true}},
        {"SELECT * FROM T WHERE F = ? AND Texto = ? AND ? < Alta", {true, false, true}},
        {"UPDATE T SET Texto = ?, F = ? WHERE N = ?", {false, true, false}},
    };
    for (const auto& p : parametros) {
        EXPECT_EQ(ado::sqlite_dialect::translateStatement(QString::fromUtf8(p.sql),
                                                          platform::Regional{}, false, dates)
                      .dateParameters,
                  p.dates)
            << p.sql;
    }
}

TEST(SqliteDialectTranslate, TransactionAndSessionStatements) {
    expectAll({
        {"BEGIN TRAN", "BEGIN IMMEDIATE"},
        {"begin transaction Alta", "BEGIN IMMEDIATE"},
        {"COMMIT TRANSACTION;", "COMMIT"},
        {"Commit Tran Alta", "COMMIT"},
        {"ROLLBACK TRAN", "ROLLBACK"},
        {"ROLLBACK", "ROLLBACK"},
        {"SET NOCOUNT ON", ""},
        {"set nocount off;", ""},
        {"-- no row counts\r\nSET NOCOUNT ON", ""},
        {"SET @n = 1", "SET @n = 1"},
    });
}

TEST(SqliteDialectTranslate, AddsCollationToTextColumns) {
    expectAll(
        {
            {"CREATE TABLE T (Id int, Nombre varchar(50) NOT NULL, Notas text, "
             "Codigo nchar(3) COLLATE NOCASE, [Desc] [nvarchar](20), Memo NTEXT)",
             "CREATE TABLE T (Id int, Nombre varchar(50) COLLATE CI NOT NULL, Notas text COLLATE "
             "CI, Codigo nchar(3) COLLATE NOCASE, [Desc] [nvarchar](20) COLLATE CI, "
             "Memo NTEXT COLLATE CI)"},
            {"CREATE TABLE T (A char, Importe decimal(10, 2), CONSTRAINT PK_T PRIMARY KEY (A))",
             "CREATE TABLE T (A char COLLATE CI, Importe decimal(10, 2), "
             "CONSTRAINT PK_T PRIMARY KEY (A))"},
            {"ALTER TABLE T ADD Nombre varchar(30) NULL",
             "ALTER TABLE T ADD Nombre varchar(30) COLLATE CI NULL"},
            {"ALTER TABLE T ADD COLUMN n nvarchar",
             "ALTER TABLE T ADD COLUMN n nvarchar COLLATE CI"},
            {"ALTER TABLE T ADD n int DEFAULT 0", "ALTER TABLE T ADD n int DEFAULT 0"},
            {"ALTER TABLE T ADD CONSTRAINT U1 UNIQUE (text)",
             "ALTER TABLE T ADD CONSTRAINT U1 UNIQUE (text)"},
            {"INSERT INTO T (text) VALUES ('varchar(5)')",
             "INSERT INTO T (text) VALUES ('varchar(5)')"},
        },
        true);
    EXPECT_EQ(translated("CREATE TABLE T (A varchar(5))"), "CREATE TABLE T (A varchar(5))");
}

TEST(SqliteDialectTranslate, AnIdentityColumnIsTheRowNumber) {
    expectAll({
        {"CREATE TABLE T (Id INT IDENTITY(1,1) PRIMARY KEY, N varchar(5))",
         "CREATE TABLE T (Id INTEGER PRIMARY KEY AUTOINCREMENT, N varchar(5))"},
        {"CREATE TABLE T (Id int IDENTITY (1, 1) NOT NULL PRIMARY KEY)",
         "CREATE TABLE T (Id INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT)"},
        {"CREATE TABLE T (A int, Id numeric(10, 0) IDENTITY PRIMARY KEY)",
         "CREATE TABLE T (A int, Id INTEGER PRIMARY KEY AUTOINCREMENT)"},
        {"CREATE TABLE T (Id bigint IDENTITY(1,1))", "CREATE TABLE T (Id INTEGER)"},
        {"SELECT IDENTITY FROM T", "SELECT IDENTITY FROM T"},
        {"INSERT INTO T (A) VALUES ('IDENTITY(1,1)')",
         "INSERT INTO T (A) VALUES ('IDENTITY(1,1)')"},
    });
}

TEST(SqliteDialectTranslate, ComparesTextLiteralsInTheEngineCollation) {
    expectAll(
        {
            {"SELECT * FROM U WHERE LTRIM(RTRIM(nombre)) ='demo' ",
             "SELECT * FROM U WHERE LTRIM(RTRIM(nombre)) ='demo' COLLATE CI "},
            {"SELECT * FROM U WHERE 'a' <> x AND y >= 'b' AND z LIKE 'c%'",
             "SELECT * FROM U WHERE 'a' COLLATE CI <> x AND y >= 'b' COLLATE CI AND z LIKE 'c%'"},
            {"INSERT INTO U (a) VALUES ('x')", "INSERT INTO U (a) VALUES ('x')"},
            {"SELECT 1 WHERE a = 'x' COLLATE NOCASE", "SELECT 1 WHERE a = 'x' COLLATE NOCASE"},
        },
        true);
    EXPECT_EQ(translated("SELECT 1 WHERE a = 'x'"), "SELECT 1 WHERE a = 'x'")
        << "only for the embedded engine";
}

TEST(SqliteDialectTranslate, LeavesEverythingElse) {
    expectAll({
        {"SELECT [Año], \"x\" FROM [Tabla Uno] -- dbo.T LEN(\n",
         "SELECT [Año], \"x\" FROM [Tabla Uno] -- dbo.T LEN(\n"},
        {"SELECT a /* TOP 5 LEN(x) GETDATE() */ FROM T",
         "SELECT a /* TOP 5 LEN(x) GETDATE() */ FROM T"},
        {"SELECT 'It''s ISNULL(a,b) N''x'' 01/02/2026'",
         "SELECT 'It''s ISNULL(a,b) N''x'' 01/02/2026'"},
        {"DELETE FROM T WHERE a = 'x", "DELETE FROM T WHERE a = 'x"},
    });
}

// ---------------------------------------------------------------------------------------------
// Translated statements run on SQLite give what the server gives.

class SqliteRun : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        // the engine's collation: case-insensitive, trailing blanks ignored
        sqlite3_create_collation(db_, "CI", SQLITE_UTF8, nullptr,
                                 [](void*, int la, const void* a, int lb, const void* b) {
                                     auto side = [](const void* p, int n) {
                                         return QString::fromUtf8(static_cast<const char*>(p), n)
                                             .remove(QRegularExpression(QStringLiteral(" +$")));
                                     };
                                     return QString::compare(side(a, la), side(b, lb),
                                                             Qt::CaseInsensitive);
                                 });
        run("CREATE TABLE N (k int)");
        for (int k = 1; k <= 10; ++k)
            run(("INSERT INTO N VALUES (" + std::to_string(k) + ")").c_str());
        run("CREATE TABLE F (d text)");
        for (const char* d : {"2026-01-30", "2026-01-31", "2026-01-31 10:00:00", "2026-02-01"}) {
            run((std::string("INSERT INTO F VALUES ('") + d + "')").c_str());
        }
    }
    void TearDown() override { sqlite3_close(db_); }

    // Runs a SQL Server batch the way the engine does.
    void run(const char* batch) {
        for (const QString& s : splitBatch(QString::fromUtf8(batch))) {
            const QString sql = translate(s, platform::Regional{}, true);
            if (sql.isEmpty()) continue;
            char* error = nullptr;
            EXPECT_EQ(sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &error),
                      SQLITE_OK)
                << sql.toStdString() << ": " << (error ? error : "");
            sqlite3_free(error);
        }
    }

    // First column of the first row of a translated query; "NULL" for a null.
    std::string value(const char* query) {
        const QByteArray sql = translate(QString::fromUtf8(query), platform::Regional{}).toUtf8();
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql.constData() << ": " << sqlite3_errmsg(db_);
            return {};
        }
        std::string out = "no row";
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(stmt, 0);
            out = text ? reinterpret_cast<const char*>(text) : "NULL";
        }
        sqlite3_finalize(stmt);
        return out;
    }

    sqlite3* db_ = nullptr;
};

TEST_F(SqliteRun, GivesTheServersResults) {
    const std::vector<Case> cases = {
        {"SELECT LEN('abc  ')", "3"},
        {"SELECT LEN('  a')", "3"},
        {"SELECT LEN(NULL)", "NULL"},
        {"SELECT CHARINDEX('b', 'abcabc')", "2"},
        {"SELECT CHARINDEX('z', 'abc')", "0"},
        {"SELECT CHARINDEX('b', 'abcabc', 3)", "5"},
        {"SELECT CHARINDEX('b', 'abcabc', 0)", "2"},
        {"SELECT CHARINDEX('b', 'abcabc', 6)", "0"},
        {"SELECT CHARINDEX('a', 'abc', NULL)", "NULL"},
        {"SELECT SUBSTRING('abcdef', 2, 3)", "bcd"},
        {"SELECT ISNULL(NULL, 'x')", "x"},
        {"SELECT COUNT(*) FROM N WHERE k IN (SELECT TOP 3 k FROM N ORDER BY k DESC)", "3"},
        {"SELECT SUM(k) FROM (SELECT TOP (3) k FROM dbo.N WITH (NOLOCK) ORDER BY k DESC) x", "27"},
        {"SELECT TOP 1 k FROM N WHERE k > (SELECT TOP 1 k FROM N ORDER BY k) ORDER BY k DESC",
         "10"},
        {"SELECT COUNT(*) FROM (SELECT TOP 2 k FROM N UNION ALL SELECT TOP 1 k FROM N) x", "3"},
        {"SELECT COUNT(*) FROM F WHERE d >= '31/01/2026' AND d < '01/02/2026'", "2"},
        {"SELECT COUNT(*) FROM F WHERE d > '31/01/2026 9:30'", "2"},
        {"SELECT MIN(d) FROM F WHERE d BETWEEN '31/01/2026' AND '1/2/2026'", "2026-01-31"},
        {"SELECT CASE WHEN GETDATE() > '01/01/2020' THEN 1 ELSE 0 END", "1"},
    };
    for (const Case& c : cases) EXPECT_EQ(value(c.input), c.expected) << c.input;
}

TEST_F(SqliteRun, AnIdentityColumnNumbersTheRowsItselfAndNeverGivesANumberAgain) {
    run("CREATE TABLE I (Id INT IDENTITY(1,1) PRIMARY KEY, N varchar(5)) "
        "INSERT INTO I (N) VALUES ('a') INSERT INTO I (N) VALUES ('b') "
        "DELETE FROM I WHERE N = 'b' INSERT INTO I (N) VALUES ('c')");
    EXPECT_EQ(value("SELECT Id FROM I WHERE N = 'a'"), "1");
    EXPECT_EQ(value("SELECT Id FROM I WHERE N = 'c'"), "3");
}

TEST_F(SqliteRun, RunsABatch) {
    run("SET NOCOUNT ON\r\nCREATE TABLE dbo.P (Id int, Nombre nvarchar(20) NOT NULL)\r\n"
        "BEGIN TRANSACTION INSERT INTO P (Id, Nombre) VALUES (1, N'Ana  ')\r\n"
        "INSERT INTO P (Id, Nombre)\r\nSELECT k, 'n' FROM N WHERE k < 3\r\n"
        "UPDATE P SET Id = Id + 10 WHERE Nombre = 'ANA'\r\nCOMMIT TRANSACTION\r\n");
    EXPECT_EQ(value("SELECT COUNT(*) FROM P"), "3");
    EXPECT_EQ(value("SELECT Id FROM P WHERE Nombre = 'ana'"), "11");
}

}  // namespace
