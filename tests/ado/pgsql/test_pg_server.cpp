// The program's own statements, in the SQL Server dialect, through the data layer on a real
// PostgreSQL server and on the embedded engine, over the same schema (db/schema.sql): both give
// the same rows.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/pgsql/PgDialect.h"
#include "ado/sqlite/SqliteEngine.h"
#include "ado/tsql/Batch.h"
#include "tests/support/PostgresServer.h"

using namespace ado;
using platform::Variant;

namespace {

QString schema() {
    QFile f(QStringLiteral(TEST_DB_DIR "/schema.sql"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A value as both engines can be compared on: dates in ISO form, numbers without a fraction
// when whole.
std::string shown(const Variant& v) {
    if (v.isNull()) return "NULL";
    if (v.isDate()) return v.date().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
    return v.toText().toStdString();
}

using Rows = std::vector<std::vector<std::string>>;

Rows rowsOf(Connection& cnn, const char* sql) {
    Rows rows;
    auto rs = cnn.execute(QString::fromUtf8(sql));
    if (!rs) return rows;
    for (; !rs->eof(); rs->moveNext()) {
        std::vector<std::string> row;
        for (int i = 0; i < rs->fieldCount(); ++i) row.push_back(shown(rs->field(i).value()));
        rows.push_back(std::move(row));
    }
    return rows;
}

class EnPostgres : public testing::Test {
  protected:
    void SetUp() override {
        const PostgresServer& server = PostgresServer::instance();
        ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
        const QString script = schema();
        ASSERT_FALSE(script.isEmpty());
        pg.open(server.connectionString());
        pg.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
        pg.execute(QStringLiteral("CREATE SCHEMA public"));
        pg.execute(pg_dialect::collationStatement());
        for (const QString& statement : tsql::splitBatch(script))
            ASSERT_NO_THROW(pg.execute(statement)) << statement.toStdString();

        ASSERT_TRUE(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("GESTION.db"));
        SqliteEngine::create(file);
        SqliteEngine::open(file)->execute(script);
        lite.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database=%1;").arg(file));

        both(
            "INSERT INTO TA_USUARIOS (Nombre, NombreCompleto, Administrador) VALUES "
            "('Demo  ', N'Ñandú Pérez', 1), ('OTRO', 'Otro usuario', 0)");
        both(
            "INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, Grupo) VALUES ('PERIODO', '2026', "
            "'General'), ('UsaConsultaLike', 'S ', 'General')");
    }
    void TearDown() override {
        if (pg.state() == adstate::Open) pg.close();
        if (lite.state() == adstate::Open) lite.close();
    }

    void both(const char* sql) {
        pg.execute(QString::fromUtf8(sql));
        lite.execute(QString::fromUtf8(sql));
    }
    // The rows a statement gives on the server, which must be those of the embedded engine.
    Rows same(const char* sql) {
        const Rows server = rowsOf(pg, sql);
        EXPECT_EQ(server, rowsOf(lite, sql)) << sql;
        return server;
    }

    QTemporaryDir dir;
    Connection pg, lite;
};

TEST_F(EnPostgres, TheAdministratorCheckAndTheConfigurationReadsFindTheirRows) {
    const struct {
        const char* sql;
        Rows expected;
    } cases[] = {
        {"SELECT TOP 1 Administrador FROM ta_usuarios  with(nolock)  WHERE nombre = 'DEMO'",
         {{"1"}}},
        {"Select Nombre, NombreCompleto, Administrador, UNegocio from ta_usuarios  with(nolock)  "
         "where Nombre = 'demo'",
         {{"Demo  ", "Ñandú Pérez", "1", "   1"}}},
        {"SELECT VALOR FROM TA_CONFIGURACION  with(nolock)  WHERE CLAVE = 'periodo   '",
         {{"2026"}}},
        {"SELECT CLAVE FROM dbo.TA_CONFIGURACION (nolock) WHERE VALOR = N's' AND Grupo IN "
         "('GENERAL ')",
         {{"UsaConsultaLike"}}},
        {"SELECT [Nombre] FROM [TA_USUARIOS] WHERE NombreCompleto LIKE '%ñANDÚ%'", {{"Demo  "}}},
        {"SELECT Nombre FROM TA_USUARIOS WHERE Nombre LIKE 'DEM%' OR Nombre NOT LIKE '%o%'",
         {{"Demo  "}}},
        {"SELECT LEN(Nombre), ISNULL(NombreCompleto, '') FROM TA_USUARIOS WHERE Administrador = 0",
         {{"4", "Otro usuario"}}},
        {"SELECT TOP 1 Nombre FROM TA_USUARIOS ORDER BY Nombre DESC", {{"OTRO"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(same(c.sql), c.expected) << c.sql;
    // what the embedded translation does not take: "+" between texts, a pattern against a
    // value with trailing blanks
    EXPECT_EQ(rowsOf(pg,
                     "SELECT ISNULL(NombreCompleto, '') + ' (' + RTRIM(Nombre) + ')' FROM "
                     "TA_USUARIOS WHERE Nombre LIKE 'demo'"),
              (Rows{{"Ñandú Pérez (Demo)"}}));
}

TEST_F(EnPostgres, TheAccessLogBatchWritesItsRowAndDatesReadOnBothSidesOfTheTwelfth) {
    qint64 affected = -1;
    for (Connection* cnn : {&pg, &lite}) {
        cnn->execute(
            QStringLiteral("BEGIN TRANSACTION \r\r\rINSERT INTO Control_Acceso (Maquina, Usuario, "
                           "Formulario, Tarea, Ingreso, NombreUsuario) VALUES ('PC1', 'DEMO', "
                           "'CRONEQUIPO', 'Menu Principal', '13/03/2026 10:05:00', 'demo')\r"
                           "INSERT INTO Control_Acceso (Maquina, Ingreso) VALUES ('PC2', "
                           "'03/12/2026')\rCOMMIT TRANSACTION\r"),
            &affected);
        EXPECT_EQ(affected, 2);
    }
    EXPECT_EQ(same("SELECT Maquina, Ingreso FROM Control_Acceso WHERE Ingreso >= '12/03/2026' "
                   "ORDER BY Ingreso"),
              (Rows{{"PC1", "2026-03-13 10:05:00"}, {"PC2", "2026-12-03 00:00:00"}}));
    EXPECT_EQ(same("SELECT Maquina FROM Control_Acceso WHERE Ingreso < '14/03/2026'"),
              (Rows{{"PC1"}}));
}

TEST_F(EnPostgres, TheScheduleIsReplacedInOneTransactionAndReadBack) {
    both(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO, Nombre, FechaD) VALUES ('DEMO', 'viejo', "
        "'01/01/2026')");
    const auto day = [](int m, int d) { return Variant(QDateTime(QDate(2026, m, d), QTime())); };
    for (Connection* cnn : {&pg, &lite}) {
        cnn->beginTrans();
        Command borrar;
        borrar.setActiveConnection(*cnn);
        borrar.setCommandText(QStringLiteral("DELETE FROM AUX_ESTADISTICACTA WHERE USUARIO = ?"));
        EXPECT_EQ(borrar.execute({Variant(QStringLiteral("demo"))}), 1);
        Command filas;
        filas.setActiveConnection(*cnn);
        filas.setCommandText(QStringLiteral(
            "INSERT INTO AUX_ESTADISTICACTA (USUARIO,Nombre,Grupo,FechaD,FechaH,Detalle) VALUES "
            "(?,?,?,?,?,?),(?,?,?,?,?,?)"));
        const QString u = QStringLiteral("DEMO");
        EXPECT_EQ(
            filas.execute({Variant(u), Variant(QStringLiteral("Bomba 1")),
                           Variant(QStringLiteral("Cliente A")), day(3, 13), day(3, 19),
                           Variant(QStringLiteral("OT 7")), Variant(u),
                           Variant(QStringLiteral("Bomba 2")), Variant(QStringLiteral("Cliente B")),
                           day(12, 3), day(12, 9), Variant::null()}),
            2);
        cnn->commitTrans();
    }
    EXPECT_EQ(same("SELECT Nombre, Grupo, FechaD, FechaH, ISNULL(Detalle, '-') FROM "
                   "AUX_ESTADISTICACTA WHERE USUARIO = 'demo ' AND FechaD BETWEEN '01/03/2026' "
                   "AND '31/12/2026' ORDER BY FechaD"),
              (Rows{{"Bomba 1", "Cliente A", "2026-03-13 00:00:00", "2026-03-19 00:00:00", "OT 7"},
                    {"Bomba 2", "Cliente B", "2026-12-03 00:00:00", "2026-12-09 00:00:00", "-"}}));
    EXPECT_EQ(same("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE MONTH(FechaD) = 12 AND "
                   "DAY(FechaD) = 3 AND YEAR(FechaD) = 2026"),
              (Rows{{"1"}}));
}

// The date and text functions the demo business is written with, a session's temporary table
// and "+" between texts, as the server computes them.
TEST_F(EnPostgres, TheServersDateAndTextFunctionsGiveItsResultsOnBoth) {
    both("CREATE TABLE Calculos (n INT, d DATETIME, t VARCHAR(30))");
    const struct {
        const char* expression;
        const char* expected;
        bool date;
    } cases[] = {
        {"DATEADD(month, 1, '31/01/2026')", "2026-02-28 00:00:00", true},
        {"DATEADD(month, 1, '31/01/2024')", "2024-02-29 00:00:00", true},
        {"DATEADD(mm, -30, '15/06/2026')", "2023-12-15 00:00:00", true},
        {"DATEADD(year, 1, '29/02/2024')", "2025-02-28 00:00:00", true},
        {"DATEADD(quarter, 1, '30/11/2026')", "2027-02-28 00:00:00", true},
        {"DATEADD(day, -1, '01/03/2026')", "2026-02-28 00:00:00", true},
        {"DATEADD(wk, 2, '25/12/2026')", "2027-01-08 00:00:00", true},
        {"DATEADD(dd, 365, '01/01/2100')", "2101-01-01 00:00:00", true},
        {"DATEADD(month, 1, '31/01/2026 10:30')", "2026-02-28 10:30:00", true},
        {"DATEADD(hour, 15, '31/12/2026 10:00')", "2027-01-01 01:00:00", true},
        {"DATEADD(minute, -1, '01/01/1901')", "1900-12-31 23:59:00", true},
        {"DATEADD(day, 3, NULL)", "NULL", true},
        {"DATEFROMPARTS(1900, 12, 31)", "1900-12-31 00:00:00", true},
        {"DATEADD(day, 59, DATEFROMPARTS(2024, 1, 1))", "2024-02-29 00:00:00", true},
        {"CAST(YEAR('31/12/2100') * 100 + MONTH('01/12/2100') AS varchar(10))", "210012", false},
        {"STR(7, 4)", "   7", false},
        {"STR(12345, 3)", "***", false},
        {"STR(42)", "        42", false},
        {"STR(NULL, 4)", "NULL", false},
        {"'0001-' + REPLACE(STR(7, 8), ' ', '0')", "0001-00000007", false},
        {"'a' + NULL", "NULL", false},
        {"RTRIM('Año') + ' ' + 'Ñandú'", "Año Ñandú", false},
    };
    Rows expected;
    int n = 0;
    for (const auto& c : cases) {
        const QString sql = QStringLiteral("INSERT INTO Calculos (n, %1) VALUES (%2, %3)")
                                .arg(c.date ? QStringLiteral("d") : QStringLiteral("t"))
                                .arg(++n)
                                .arg(QString::fromUtf8(c.expression));
        both(sql.toUtf8().constData());
        expected.push_back(
            {std::to_string(n), c.date ? c.expected : "NULL", c.date ? "NULL" : c.expected});
    }
    EXPECT_EQ(same("SELECT n, d, t FROM Calculos ORDER BY n"), expected);

    both("CREATE TABLE #ot (id INT, dia INT, codigo VARCHAR(10))");
    both("INSERT INTO #ot VALUES (1, 0, 'EQ-1'), (2, 59, 'eq-2')");
    both(
        "INSERT INTO Calculos (n, d, t) SELECT 100 + o.id, DATEADD(day, o.dia, "
        "DATEFROMPARTS(2024, 1, 1)), o.codigo + '/' + STR(o.id, 2) FROM #ot o WHERE o.codigo "
        "LIKE 'EQ%'");
    both("DROP TABLE #ot");
    EXPECT_EQ(same("SELECT n, d, t FROM Calculos WHERE n > 100 ORDER BY n"),
              (Rows{{"101", "2024-01-01 00:00:00", "EQ-1/ 1"},
                    {"102", "2024-02-29 00:00:00", "eq-2/ 2"}}));
    // the temporary table was the session's: the database has none of that name
    EXPECT_EQ(rowsOf(pg,
                     "SELECT COUNT(*) FROM information_schema.tables WHERE table_name = 'ot' "
                     "AND table_schema = 'public'"),
              (Rows{{"0"}}));
}

}  // namespace
