#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ado/pgsql/PgDialect.h"

namespace {

using ado::pg_dialect::translate;
using ado::pg_dialect::translateBatch;

struct Case {
    const char* input;
    const char* expected;
};

void expectAll(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(translate(QString::fromUtf8(c.input), platform::Regional{}).toStdString(),
                  c.expected)
            << c.input;
}

TEST(PgDialectTranslate, TransactionsAndSessionSettings) {
    expectAll({
        {"BEGIN TRANSACTION", "BEGIN"},
        {"BEGIN TRAN", "BEGIN"},
        {"COMMIT TRANSACTION", "COMMIT"},
        {"commit tran", "COMMIT"},
        {"ROLLBACK TRANSACTION", "ROLLBACK"},
        {"ROLLBACK", "ROLLBACK"},
        {"SET NOCOUNT ON", ""},
        {"SET NOCOUNT OFF;", ""},
        {"SET DATEFORMAT dmy", "SET DATEFORMAT dmy"},
    });
}

TEST(PgDialectTranslate, ABatchGivesItsStatementsTranslated) {
    const QStringList got = translateBatch(
        QStringLiteral("BEGIN TRANSACTION \r\r\rINSERT INTO Control_Acceso (Maquina, Ingreso) "
                       "VALUES (N'PC1', '13/03/2026 10:05:00')\rCOMMIT TRANSACTION"),
        platform::Regional{});
    EXPECT_EQ(got, (QStringList{QStringLiteral("BEGIN"),
                                QStringLiteral("INSERT INTO Control_Acceso (Maquina, Ingreso) "
                                               "VALUES ('PC1', '2026-03-13 10:05:00')"),
                                QStringLiteral("COMMIT")}));
    EXPECT_EQ(translateBatch(QStringLiteral("SET NOCOUNT ON; SELECT 1"), platform::Regional{}),
              QStringList{QStringLiteral("SELECT 1")});
    // A batch that makes a table with text columns makes their collation first, once.
    EXPECT_EQ(translateBatch(QStringLiteral("CREATE TABLE A (x varchar(5)) CREATE TABLE B (y text) "
                                            "INSERT INTO A VALUES ('q')"),
                             platform::Regional{}),
              (QStringList{ado::pg_dialect::collationStatement(),
                           QStringLiteral("CREATE TABLE A (x varchar(5) COLLATE ci)"),
                           QStringLiteral("CREATE TABLE B (y text COLLATE ci)"),
                           QStringLiteral("INSERT INTO A VALUES ('q')")}));
}

TEST(PgDialectTranslate, TopBecomesLimit) {
    expectAll({
        {"Select TOP 1 * from Control_Acceso  with(nolock) ",
         "Select * from Control_Acceso LIMIT 1 "},
        {"SELECT TOP (5) a FROM T ORDER BY a", "SELECT a FROM T ORDER BY a LIMIT 5"},
        {"SELECT TOP 100 PERCENT IdFamilia FROM F ORDER BY IdFamilia",
         "SELECT IdFamilia FROM F ORDER BY IdFamilia"},
        {"SELECT a, (SELECT TOP 1 b FROM U) AS x FROM T",
         "SELECT a, (SELECT b FROM U LIMIT 1) AS x FROM T"},
        {"SELECT TOP 2 a FROM T UNION SELECT b FROM U",
         "SELECT * FROM (SELECT a FROM T LIMIT 2) AS tope UNION SELECT b FROM U"},
    });
}

TEST(PgDialectTranslate, HintsOwnersAndNationalPrefixesGo) {
    expectAll({
        {"SELECT * FROM dbo.T a WITH (NOLOCK) INNER JOIN U b (nolock) ON a.x = b.x",
         "SELECT * FROM T a INNER JOIN U b ON a.x = b.x"},
        {"INSERT INTO [dbo].[T] (a) VALUES (N'ñandú')", "INSERT INTO \"t\" (a) VALUES ('ñandú')"},
        {"SELECT '(nolock)', 'dbo.x', 'N''y' FROM T", "SELECT '(nolock)', 'dbo.x', 'N''y' FROM T"},
    });
}

TEST(PgDialectTranslate, BracketedNamesMeetTheNamesTheSchemaCreatesUnquoted) {
    expectAll({
        {"SELECT [Nombre y Apellido], [Order] FROM [MA_CONTACTOS]",
         "SELECT \"nombre y apellido\", \"order\" FROM \"ma_contactos\""},
        {"SELECT \"Clave\" FROM T", "SELECT \"clave\" FROM T"},
        {"SELECT [a]]b] FROM T", "SELECT \"a]b\" FROM T"},
    });
}

TEST(PgDialectTranslate, ShortDatesBecomeIsoOnBothSidesOfTheTwelfth) {
    expectAll({
        {"SELECT * FROM v_mv_cpte WHERE fecha >= '13/03/2026' AND fecha <= '03/12/2026'",
         "SELECT * FROM v_mv_cpte WHERE fecha >= '2026-03-13' AND fecha <= '2026-12-03'"},
        {"SELECT * FROM T WHERE f BETWEEN '12/01/26' AND '01/12/26 23:59:59'",
         "SELECT * FROM T WHERE f BETWEEN '2026-01-12' AND '2026-12-01 23:59:59'"},
        {"SELECT '31/02/2026', '2026-03-13', '1/2' FROM T",
         "SELECT '31/02/2026', '2026-03-13', '1/2' FROM T"},
    });
}

TEST(PgDialectTranslate, FunctionsOfTheProgram) {
    expectAll({
        {"SELECT ISNULL(a, 0) FROM T", "SELECT coalesce(a, 0) FROM T"},
        {"SELECT ISNULL(ISNULL(a, b), '') FROM T", "SELECT coalesce(coalesce(a, b), '') FROM T"},
        {"SELECT Len(LTrim(RTrim(a.IdFamilia))) FROM T a",
         "SELECT length(rtrim(LTrim(RTrim(a.IdFamilia)))) FROM T a"},
        {"SELECT GETDATE()", "SELECT LOCALTIMESTAMP"},
        {"SELECT SPACE(3)", "SELECT repeat(' ', 3)"},
        {"SELECT YEAR(fecha), MONTH(fecha), DAY(fecha) FROM T",
         "SELECT CAST(EXTRACT(YEAR FROM CAST(fecha AS timestamp)) AS integer), "
         "CAST(EXTRACT(MONTH FROM CAST(fecha AS timestamp)) AS integer), "
         "CAST(EXTRACT(DAY FROM CAST(fecha AS timestamp)) AS integer) FROM T"},
        {"SELECT CHARINDEX('-', a) FROM T", "SELECT strpos(a, '-') FROM T"},
        {"SELECT CHARINDEX('-', a, 3) FROM T",
         "SELECT (CASE WHEN strpos(substr(a, greatest(3, 1)), '-') > 0 THEN strpos(substr(a, "
         "greatest(3, 1)), '-') + greatest(3, 1) - 1 ELSE strpos(substr(a, greatest(3, 1)), '-') "
         "END) FROM T"},
        {"SELECT CONVERT(NVARCHAR(10), n), CONVERT(INT, c), CONVERT(datetime, '13/03/2026') FROM T",
         "SELECT CAST(n AS varchar(10)), CAST(c AS INT), CAST('2026-03-13' AS timestamp) FROM T"},
        {"SELECT CAST(a AS datetime), CAST(b AS money) FROM T",
         "SELECT CAST(a AS timestamp), CAST(b AS numeric(19,4)) FROM T"},
        {"SELECT substring(ltrim(idarticulo),1,1) FROM T",
         "SELECT substring(ltrim(idarticulo),1,1) FROM T"},
        {"SELECT x.len(a), isnull FROM T", "SELECT x.len(a), isnull FROM T"},
    });
}

TEST(PgDialectTranslate, TemporaryTablesAreTheSessions) {
    expectAll({
        {"CREATE TABLE #ot (id INT)", "CREATE TEMP TABLE ot (id INT)"},
        {"INSERT INTO #ot SELECT id FROM ##otra", "INSERT INTO ot SELECT id FROM otra"},
        {"DROP TABLE #ot", "DROP TABLE ot"},
    });
}

TEST(PgDialectTranslate, PlusBetweenTextsJoinsThem) {
    expectAll({
        {"SELECT a + ' ' + b FROM T", "SELECT a || ' ' || b FROM T"},
        {"SELECT 'x' + LTRIM(a) + b + c FROM T", "SELECT 'x' || LTRIM(a) || b || c FROM T"},
        {"SELECT a + b, a + 1, (a + b) * 2 FROM T", "SELECT a + b, a + 1, (a + b) * 2 FROM T"},
        {"SELECT UPPER(a) + RTRIM(b) FROM T", "SELECT UPPER(a) || RTRIM(b) FROM T"},
        {"SELECT n + 1, 'a+b' FROM T WHERE c = 'x' + d",
         "SELECT n + 1, 'a+b' FROM T WHERE rtrim(c::text) = 'x' || d"},
    });
}

TEST(PgDialectTranslate, TextComparisonsIgnoreTrailingBlanks) {
    expectAll({
        {"SELECT VALOR FROM TA_CONFIGURACION with(nolock)  WHERE CLAVE = 'PERIODO  '",
         "SELECT VALOR FROM TA_CONFIGURACION  WHERE rtrim(CLAVE::text) = 'PERIODO'"},
        {"SELECT * FROM T a WHERE a.Codigo <> '1 ' AND '2' >= a.b",
         "SELECT * FROM T a WHERE rtrim(a.Codigo::text) <> '1' AND '2' >= rtrim(a.b::text)"},
        {"SELECT * FROM T WHERE c IN ('a ', 'b') AND d NOT IN (1, 2)",
         "SELECT * FROM T WHERE rtrim(c::text) IN ('a', 'b') AND d NOT IN (1, 2)"},
        {"SELECT * FROM T WHERE LTRIM(RTRIM(c)) = 'x' AND f > '13/03/2026'",
         "SELECT * FROM T WHERE LTRIM(RTRIM(c)) = 'x' AND f > '2026-03-13'"},
        {"UPDATE T SET a = 'x ', b = 'y' WHERE c = 'z '",
         "UPDATE T SET a = 'x ', b = 'y' WHERE rtrim(c::text) = 'z'"},
        {"SELECT * FROM T WHERE c = ?", "SELECT * FROM T WHERE c = ?"},
    });
}

TEST(PgDialectTranslate, LikeIgnoresCaseInADeterministicCollation) {
    expectAll({
        {"SELECT * FROM T WHERE Descripcion like '%ñan%'",
         "SELECT * FROM T WHERE rtrim(Descripcion::text)::text COLLATE \"und-x-icu\" ILIKE "
         "'%ñan%'"},
        {"SELECT * FROM T WHERE (TA_MENU.Proceso LIKE '%x%') AND UPPER(a) NOT LIKE ?",
         "SELECT * FROM T WHERE (rtrim(TA_MENU.Proceso::text)::text COLLATE \"und-x-icu\" ILIKE "
         "'%x%') "
         "AND UPPER(a)::text COLLATE \"und-x-icu\" NOT ILIKE ?"},
    });
}

TEST(PgDialectTranslate, TablesOfTheSchemaAndOfTheServerDialect) {
    expectAll({
        {"CREATE TABLE Control_Acceso (Id INTEGER PRIMARY KEY AUTOINCREMENT, Maquina VARCHAR(100) "
         "COLLATE CI, Ingreso DATETIME)",
         "CREATE TABLE Control_Acceso (Id INTEGER PRIMARY KEY GENERATED BY DEFAULT AS IDENTITY, "
         "Maquina VARCHAR(100) COLLATE CI, Ingreso timestamp)"},
        {"CREATE TABLE [dbo].[T] ([Id] int IDENTITY(1,1) NOT NULL, [Nombre] nvarchar(50) NULL, "
         "Flag bit DEFAULT 0, Precio money, Nivel tinyint, Notas ntext, Largo nvarchar(max), "
         "Alta smalldatetime, Peso float)",
         "CREATE TABLE \"t\" (\"id\" int GENERATED BY DEFAULT AS IDENTITY NOT NULL, \"nombre\" "
         "varchar(50) COLLATE ci NULL, Flag smallint DEFAULT 0, Precio numeric(19,4), Nivel "
         "smallint, Notas text COLLATE ci, Largo text COLLATE ci, Alta timestamp, Peso double "
         "precision)"},
        {"CREATE TABLE T (Id INT IDENTITY(1,1) PRIMARY KEY, Clave VARCHAR(50) NOT NULL, N char)",
         "CREATE TABLE T (Id INT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, Clave VARCHAR(50) "
         "COLLATE ci NOT NULL, N char COLLATE ci)"},
        {"ALTER TABLE T ADD Alta datetime NULL", "ALTER TABLE T ADD Alta timestamp NULL"},
        {"ALTER TABLE T ADD Nota varchar(30) NULL",
         "ALTER TABLE T ADD Nota varchar(30) COLLATE ci NULL"},
        {"SELECT bit, datetime FROM T", "SELECT bit, datetime FROM T"},
    });
}

}  // namespace
