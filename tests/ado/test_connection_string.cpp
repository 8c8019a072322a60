#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "ado/ConnectionString.h"
#include "ado/core/Error.h"
#include "platform/Failure.h"
#include "platform/IniReader.h"
#include "platform/Process.h"

using namespace ado;

TEST(ConnectionString, ParsesTheSuiteFormsAndRejectsUnreadableOnes) {
    KeyValues kv;
    ASSERT_TRUE(parseConnectionString(
        QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV1;Database =GESTION;UId=sa;Pwd=;"), &kv));
    EXPECT_EQ(valueOf(kv, {"provider"}), QStringLiteral("SQLOLEDB"));
    EXPECT_EQ(valueOf(kv, {"database"}), QStringLiteral("GESTION"));
    EXPECT_EQ(valueOf(kv, {"UID"}), QStringLiteral("sa"));
    EXPECT_EQ(valueOf(kv, {"PWD"}), QString());
    ASSERT_TRUE(
        parseConnectionString(QStringLiteral("Driver={SQL Server};PWD={a;b}}c};X=\"q\""), &kv));
    EXPECT_EQ(valueOf(kv, {"pwd"}), QStringLiteral("a;b}c"));
    EXPECT_EQ(valueOf(kv, {"x"}), QStringLiteral("q"));
    for (const char* bad : {"sin igual", "=valor", "PWD={abierto", "A=1;basura;B=2"})
        EXPECT_FALSE(parseConnectionString(QString::fromUtf8(bad), &kv)) << bad;
}

TEST(ConnectionString, ChoosesTheEngineFromTheProviderAndServer) {
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    struct Case {
        const char* text;
        EngineChoice::Kind kind;
        const char* expected;  // sqlite file (relative to the folder) or ODBC text
    } cases[] = {
        {"PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=sa;Pwd=;",
         EngineChoice::Kind::Sqlite, "GESTION.db"},
        {"PROVIDER=SQLOLEDB;Server=SQLite;Database =datos\\base.sqlite;UId=sa;Pwd=;",
         EngineChoice::Kind::Sqlite, "datos/base.sqlite"},
        {"PROVIDER=SQLOLEDB;Server=SRV1;Database =GESTION;UId=sa;Pwd=x;", EngineChoice::Kind::Odbc,
         "Driver={FreeTDS};Server=SRV1;Port=1433;TDS_Version=auto;ClientCharset=UTF-8;Database="
         "GESTION;UID=sa;PWD=x;"},
        {"PROVIDER=SQLOLEDB;Server=SRV1\\CORDAVISTEL;Database =G;UId=sa;Pwd=;",
         EngineChoice::Kind::Odbc,
         "Driver={FreeTDS};Server=SRV1\\CORDAVISTEL;TDS_Version=auto;ClientCharset=UTF-8;Database="
         "G;UID=sa;PWD=;"},
        {"PROVIDER=SQLOLEDB;Server=SRV1,1500;Database =G;UId=sa;Pwd=p;", EngineChoice::Kind::Odbc,
         "Driver={FreeTDS};Server=SRV1;Port=1500;TDS_Version=auto;ClientCharset=UTF-8;Database=G;"
         "UID=sa;PWD=p;"},
        {"Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=scott;Password=tiger;",
         EngineChoice::Kind::Odbc, "Driver={Oracle};DBQ=ORCL;UID=scott;PWD=tiger;"},
        {"DSN=GESTION; UID=sa; PWD=", EngineChoice::Kind::Odbc, "DSN=GESTION; UID=sa; PWD="},
        {"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =C:\\Datos\\base.mdb;User ID=a;Password=;",
         EngineChoice::Kind::Sqlite, "C:/Datos/base.mdb"},
    };
    for (const auto& c : cases) {
        const EngineChoice e = chooseEngine(QString::fromUtf8(c.text), {}, {});
        EXPECT_EQ(e.kind, c.kind) << c.text;
        if (c.kind == EngineChoice::Kind::Sqlite) {
            EXPECT_EQ(e.sqlitePath, QDir::cleanPath(dir.path() + QLatin1Char('/') +
                                                    QString::fromUtf8(c.expected)))
                << c.text;
        } else {
            EXPECT_EQ(e.odbcText, QString::fromUtf8(c.expected)) << c.text;
        }
    }
    EXPECT_EQ(sqliteFileFor(QStringLiteral("/abs/X")), QStringLiteral("/abs/X.db"));
    platform::process::setProgramFolder({});
}

// Each driver is given the port in the form it reads: SQL Server's "host,port", or a key of
// its own.
TEST(ConnectionString, TheSettingsFileNamesAnotherServerDriverAndThePortReachesIt) {
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    const struct {
        const char* driver;
        const char* server;
        const char* expected;
    } cases[] = {
        {"ODBC Driver 18 for SQL Server", "S,1500",
         "Driver={ODBC Driver 18 for SQL Server};Server=S,1500;Database=G;UID=u;PWD=p;"},
        {"PostgreSQL Unicode", "127.0.0.1,5499",
         "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5499;Database=G;UID=u;PWD=p;"},
        {"PostgreSQL Unicode", "db.oficina",
         "Driver={PostgreSQL Unicode};Server=db.oficina;"
         "Database=G;UID=u;PWD=p;"},
        {"/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so", "h , 6000",
         "Driver={/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so};Server=h;Port=6000;Database=G;"
         "UID=u;PWD=p;"},
    };
    for (const auto& c : cases) {
        platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                              QStringLiteral("DriverSQLServer"), QString::fromUtf8(c.driver));
        const EngineChoice e =
            chooseEngine(QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =G;UId=u;Pwd=p;")
                             .arg(QString::fromUtf8(c.server)),
                         {}, {});
        EXPECT_EQ(e.odbcText.toStdString(), c.expected) << c.driver << " " << c.server;
    }
    platform::process::setProgramFolder({});
}

TEST(ConnectionString, UnusableStringsRaiseClearErrors) {
    struct Case {
        const char* text;
        qint32 number;
    } cases[] = {{"", code::EFail},
                 {"basura sin forma", code::EFail},
                 {"PROVIDER=SQLOLEDB;Server=sqlite;Database =;", code::EFail},
                 {"Provider=Desconocido.1;Data Source=x", 3706}};
    for (const auto& c : cases) {
        try {
            chooseEngine(QString::fromUtf8(c.text), {}, {});
            ADD_FAILURE() << c.text;
        } catch (const platform::Failure& f) {
            EXPECT_EQ(f.info().number, c.number) << c.text;
            EXPECT_FALSE(f.info().description.isEmpty());
        }
    }
}
