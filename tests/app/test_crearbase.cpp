// The database creation tool, run as an administrator runs it: on a file or on a server.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "platform/IniReader.h"
#include "tests/support/PostgresServer.h"

namespace {

class CrearBase : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // A copy in a folder of its own: the tool reads KV300mn.INI from where it lies.
        ASSERT_TRUE(QFile::copy(QStringLiteral(CRONEQUIPO_CREARBASE), herramienta()));
    }
    QString herramienta() const { return dir.filePath(QStringLiteral("cronequipo-crearbase")); }
    QString script(const char* nombre, const char* texto) {
        QFile f(dir.filePath(QString::fromUtf8(nombre)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto);
        return f.fileName();
    }
    std::pair<int, QString> corre(const QStringList& argumentos) {
        QProcess p;
        p.start(herramienta(), argumentos);
        if (!p.waitForFinished(120000)) return {-1, QStringLiteral("no terminó")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }

    QTemporaryDir dir;
};

TEST_F(CrearBase, AParameterStringRunsTheScriptsOnThatServersDatabase) {
    const PostgresServer& server = PostgresServer::instance();
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                          QStringLiteral("DriverSQLServer"), PostgresServer::driver());
    const QString parametros =
        QStringLiteral("@Server=%1,%2;@DbName=cronequipo;@Usuario=postgres;@Password=;")
            .arg(server.socketFolder())
            .arg(server.port());
    const QString uno = script("uno.sql",
                               "DROP TABLE IF EXISTS creada_por_herramienta;\n"
                               "CREATE TABLE creada_por_herramienta (n INT, texto VARCHAR(20));\n");
    const QString dos =
        script("dos.sql", "INSERT INTO creada_por_herramienta VALUES (1, 'Año'), (2, 'Ñandú');\n");
    const auto [estado, error] = corre({parametros, uno, dos});
    EXPECT_EQ(estado, 0) << error.toStdString();
    ado::Connection cnn;
    cnn.open(server.connectionString());
    const auto rs = cnn.execute(
        QStringLiteral("SELECT COUNT(*), MAX(texto) FROM creada_por_herramienta WHERE n > 0"));
    EXPECT_EQ(rs->field(0).value().toNumber(), 2);
    EXPECT_EQ(rs->field(1).value().text(), QStringLiteral("Ñandú"));
    cnn.execute(QStringLiteral("DROP TABLE creada_por_herramienta"));
    cnn.close();
}

// One source of the schema: the file the embedded databases are made from makes the server's.
TEST_F(CrearBase, TheSchemaOfTheEmbeddedDatabaseMakesTheServersToo) {
    const PostgresServer& server = PostgresServer::instance();
    ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
    platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                          QStringLiteral("DriverSQLServer"), PostgresServer::driver());
    ado::Connection cnn;
    cnn.open(server.connectionString());
    cnn.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
    cnn.execute(QStringLiteral("CREATE SCHEMA public"));
    const auto [estado, error] =
        corre({QStringLiteral("@Server=%1,%2;@DbName=cronequipo;@Usuario=postgres;@Password=;")
                   .arg(server.socketFolder())
                   .arg(server.port()),
               QStringLiteral(TEST_DB_DIR "/schema.sql")});
    EXPECT_EQ(estado, 0) << error.toStdString();
    // The tables are there, numbering their rows and comparing texts as the suite does.
    cnn.execute(QStringLiteral(
        "INSERT INTO ta_configuracion (clave, valor) VALUES ('Periodo', '2026'), ('Otra', 'x')"));
    cnn.execute(QStringLiteral(
        "INSERT INTO control_acceso (maquina) VALUES ('PC1'); INSERT INTO control_acceso "
        "(maquina) VALUES ('PC2')"));
    EXPECT_EQ(cnn.execute(QStringLiteral("SELECT valor FROM ta_configuracion WHERE clave = "
                                         "'PERIODO'"))
                  ->field(0)
                  .value()
                  .toText(),
              QStringLiteral("2026"));
    EXPECT_EQ(cnn.execute(QStringLiteral("SELECT MAX(id) - MIN(id) FROM control_acceso"))
                  ->field(0)
                  .value()
                  .toNumber(),
              1);
    cnn.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
    cnn.execute(QStringLiteral("CREATE SCHEMA public"));
    cnn.close();
}

TEST_F(CrearBase, WhatCannotBeDoneEndsWithStatusOneAndItsReason) {
    const struct {
        QStringList argumentos;
        const char* mensaje;
    } casos[] = {
        {{QStringLiteral("@Server=sqlite;@DbName=NUEVA;"), QStringLiteral("falta.sql")},
         "No se puede leer falta.sql"},
        {{QStringLiteral("@Server=sqlite;")}, "no indica @DbName"},
        {{QStringLiteral("@Server=127.0.0.1,1;@Usuario=a;")}, "no indica @Server y @DbName"},
    };
    for (const auto& c : casos) {
        const auto [estado, error] = corre(c.argumentos);
        EXPECT_EQ(estado, 1) << c.mensaje;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mensaje))) << error.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("NUEVA.db"))))
        << "a script that cannot be read leaves no database behind";
    // A parameter string of the embedded engine makes the file in the tool's folder.
    const QString tabla = script("t.sql", "CREATE TABLE T (N INTEGER);");
    EXPECT_EQ(corre({QStringLiteral("@Server=sqlite;@DbName=NUEVA;"), tabla}).first, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("NUEVA.db"))));
}

}  // namespace
