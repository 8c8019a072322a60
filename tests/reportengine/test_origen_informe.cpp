// Where a report reads its rows: the database they were written to.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/Process.h"
#include "reportengine/ReportSource.h"
#include "tests/support/PostgresServer.h"

namespace {

int rowsOf(reportengine::ReportSource& source) {
    const auto rs = source.stream(QStringLiteral("SELECT COUNT(*) FROM aux_origen"), {});
    return static_cast<int>(rs->field(0).value().toNumber());
}

// The suite's text names a data source "GESTION"; a file of that name in the program folder
// used to be read instead of the server the schedule was written to.
TEST(OrigenDelInforme, TheRowsAreReadWhereTheyWereWrittenWhateverFileTheSuitesTextNames) {
    const PostgresServer& server = PostgresServer::instance();
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    ado::Connection en;
    en.open(server.connectionString());
    en.execute(QStringLiteral("DROP TABLE IF EXISTS aux_origen"));
    en.execute(QStringLiteral("CREATE TABLE aux_origen (n INT)"));
    en.execute(QStringLiteral("INSERT INTO aux_origen VALUES (1), (2), (3)"));

    QTemporaryDir carpeta;
    platform::process::setProgramFolder(carpeta.path());
    const QString archivo = carpeta.filePath(QStringLiteral("GESTION.db"));
    ado::SqliteEngine::create(archivo);
    ado::Connection local;
    local.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=demo;Pwd=;"));
    local.execute(QStringLiteral("CREATE TABLE aux_origen (n INT)"));
    local.execute(QStringLiteral("INSERT INTO aux_origen VALUES (9)"));
    local.close();

    const QString texto = QStringLiteral("DSN=GESTION; UID=demo; PWD=x");
    reportengine::ReportSource delServidor(texto, server.connectionString());
    EXPECT_EQ(rowsOf(delServidor), 3);
    EXPECT_EQ(rowsOf(*delServidor.another()), 3) << "the second reading connection too";
    // Without the program's connection the suite's text still finds its file.
    reportengine::ReportSource delTexto(texto);
    EXPECT_EQ(rowsOf(delTexto), 1);
    platform::process::setProgramFolder({});
    en.execute(QStringLiteral("DROP TABLE aux_origen"));
}

// Without a file of its name the suite's text goes to the driver manager, its pairs whole.
TEST(OrigenDelInforme, TheSuitesTextReachesTheDriverManagerWithoutItsBlanks) {
    QTemporaryDir carpeta;
    platform::process::setProgramFolder(carpeta.path());
    const struct {
        const char* texto;
        const char* cadena;
    } casos[] = {
        {"DSN=GESTION; UID=demo; PWD=x", "DSN=GESTION;UID=demo;PWD=x;"},
        {"DSN=GESTION; UID=demo; PWD=", "DSN=GESTION;UID=demo;PWD=;"},
        {"DSN=Base Central;UID=ana;PWD={a;b}", "DSN=Base Central;UID=ana;PWD={a;b};"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(
            reportengine::ReportSource::connectionString(QString::fromUtf8(c.texto)).toStdString(),
            c.cadena)
            << c.texto;
    }
    platform::process::setProgramFolder({});
}

}  // namespace
