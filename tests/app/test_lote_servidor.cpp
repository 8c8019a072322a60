// The program on a database server, as an administrator sets it up: the start-up and the
// generation through the server's ODBC driver give what they give on the embedded database.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/IniReader.h"
#include "tests/support/PostgresServer.h"

namespace {

QString script(const char* nombre) {
    QFile f(QStringLiteral(TEST_DB_DIR "/") + QString::fromUtf8(nombre));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Three work orders in the SQL Server dialect, their dates as the user types them: either side
// of the 12th, so that a server reading month first would move or refuse them.
const char* const kOrdenes[] = {
    "INSERT INTO VT_CLIENTES (CODIGO, RAZON_SOCIAL) VALUES ('     1', 'Panadería O''Higgins')",
    "INSERT INTO V_TA_TECNICOS (idtecnico, nombre) VALUES ('   1', 'Martín'), ('   2', 'Sofía')",
    "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion, idcliente) VALUES "
    "('EQ-001', 'Horno rotativo', 'Cuadra', '     1'), ('eq-002', 'Cámara de frío', 'Depósito', "
    "'     1'), ('EQ-003', 'Caldera', 'Sótano', '     1')",
    "INSERT INTO v_mv_cpte (idcomprobante, tc, numero, fecha, fechaestinicio, idcliente, "
    "idtecnico, codigomant, ANULADA, FINALIZADA) VALUES "
    "(1, 'ot', '0001-1', '01/02/2026', '03/02/2026', '     1', '   1', 'EQ-001', 0, 0), "
    "(2, 'ot', '0001-2', '10/02/2026', '13/02/2026', '     1', '   2', 'eq-002', 0, 0), "
    "(3, 'ot', '0001-3', '13/02/2026', '14/02/2026', '     1', '   1', 'EQ-003', 0, 0)",
    "INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, "
    "total_repeticiones) VALUES (1, 'EQ-001', 'D', 2, 10), (2, 'eq-002', 'S', 1, 4), "
    "(3, 'EQ-003', 'M', 1, 3)",
};

using Filas = std::vector<std::string>;

Filas cronograma(ado::Connection& cnn) {
    Filas filas;
    auto rs =
        cnn.execute(QStringLiteral("SELECT Nombre, FechaD, FechaH, ImporteG1 FROM "
                                   "AUX_ESTADISTICACTA ORDER BY Nombre, FechaD"));
    for (; !rs->eof(); rs->moveNext()) {
        filas.push_back(QStringLiteral("%1 | %2 | %3 | %4")
                            .arg(rs->field(0).value().toText(),
                                 rs->field(1).value().date().date().toString(Qt::ISODate),
                                 rs->field(2).value().date().date().toString(Qt::ISODate))
                            .arg(rs->field(3).value().toNumber())
                            .toStdString());
    }
    return filas;
}

class LoteEnServidor : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
        ASSERT_TRUE(QFile::copy(QStringLiteral(CRONEQUIPO_EXE), programa()));
        platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                              QStringLiteral("DriverSQLServer"), PostgresServer::driver());
    }
    QString programa() const { return dir.filePath(QStringLiteral("cronequipo")); }
    // Statements the data layer does not translate: names whose case the server keeps.
    void psql(const QString& sql) {
        QProcess p;
        p.start(QStringLiteral("psql"),
                {QStringLiteral("-h"), server.socketFolder(), QStringLiteral("-p"),
                 QString::number(server.port()), QStringLiteral("-U"), QStringLiteral("postgres"),
                 QStringLiteral("-d"), QStringLiteral("cronequipo"), QStringLiteral("-c"), sql});
        ASSERT_TRUE(p.waitForFinished(60000));
    }
    std::pair<int, QString> corre(const QString& parametros, const QStringList& opciones) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USERNAME"), QStringLiteral("juan"));
        env.insert(QStringLiteral("TEMP"), dir.path());
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(programa(),
                QStringList{parametros, QStringLiteral("--batch"), QStringLiteral("--campos"),
                            QStringLiteral("codigo,descripcion,tecnico")} +
                    opciones);
        if (!p.waitForFinished(180000)) return {-1, QStringLiteral("no terminó")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }

    const PostgresServer& server = PostgresServer::instance();
    QTemporaryDir dir;
};

TEST_F(LoteEnServidor, TheProgramStartsAndGeneratesOnTheServerAsOnTheEmbeddedDatabase) {
    // The server, made from the same scripts as the embedded databases.
    ado::Connection pg;
    pg.open(server.connectionString());
    pg.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
    pg.execute(QStringLiteral("CREATE SCHEMA public"));
    pg.execute(script("schema.sql"));
    psql(QStringLiteral("DROP DATABASE IF EXISTS \"VL_ESTADISTICAS\""));
    psql(
        QStringLiteral("DO $$BEGIN CREATE ROLE \"VL_ESTADISTICAS\" LOGIN; EXCEPTION WHEN "
                       "duplicate_object THEN NULL; END$$"));
    psql(QStringLiteral("CREATE DATABASE \"VL_ESTADISTICAS\" OWNER \"VL_ESTADISTICAS\""));
    // Made by its own login, which the program uses: it owns what it reads and writes.
    const QString estadisticas =
        server.connectionString()
            .replace(QStringLiteral("Database=cronequipo"),
                     QStringLiteral("Database=VL_ESTADISTICAS"))
            .replace(QStringLiteral("UID=postgres"), QStringLiteral("UID=VL_ESTADISTICAS"));
    {
        ado::Connection vl;
        vl.open(estadisticas);
        vl.execute(script("estadisticas.sql"));
        vl.close();
    }
    // The embedded databases beside the program.
    const QString gestion = dir.filePath(QStringLiteral("GESTION.db"));
    ado::SqliteEngine::create(gestion);
    ado::SqliteEngine::open(gestion)->execute(script("schema.sql"));
    const QString vl = dir.filePath(QStringLiteral("VL_ESTADISTICAS.db"));
    ado::SqliteEngine::create(vl);
    ado::SqliteEngine::open(vl)->execute(script("estadisticas.sql"));
    ado::Connection lite;
    lite.open(
        QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=demo;Pwd=;").arg(gestion));
    for (ado::Connection* c : {&pg, &lite}) {
        c->execute(QStringLiteral(
            "INSERT INTO TA_USUARIOS (Nombre, NombreCompleto, Administrador) VALUES ('postgres', "
            "'Administración', 1), ('demo', 'Demo', 1)"));
        for (const char* sql : kOrdenes) c->execute(QString::fromUtf8(sql));
    }

    const QString enServidor =
        QStringLiteral(
            "@Server=127.0.0.1,%1;@DbName=cronequipo;@Usuario=postgres;@Password=;"
            "@Caja=1;")
            .arg(server.port());
    const QString enArchivo =
        QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=demo;@Password=;@Caja=1;");
    const struct {
        QStringList opciones;
        std::size_t filas;  // on either side
    } casos[] = {
        {{"--desde", "01/02/2026", "--hasta", "28/02/2026", "--periodicidad", "Diario"}, 28 * 3},
        {{"--desde", "01/02/2026", "--hasta", "12/02/2026", "--periodicidad", "0"},
         12 * 2},  // the order of the 13th is outside the range
        {{"--desde", "13/02/2026", "--hasta", "13/05/2026", "--periodicidad", "1"}, 0},
        {{"--desde", "01/01/2026", "--hasta", "31/12/2026", "--periodicidad", "3"}, 12 * 3},
        {{"--desde", "01/01/2026", "--hasta", "31/12/2026", "--periodicidad", "6"}, 3},
        {{"--desde", "01/02/2026", "--hasta", "28/02/2026", "--periodicidad", "0",
          "--tecnico-desde", "   2", "--tecnico-hasta", "   2"},
         28},
    };
    int corridas = 0;
    for (const auto& c : casos) {
        const auto [estado, error] = corre(enServidor, c.opciones);
        ++corridas;
        EXPECT_EQ(estado, 0) << c.opciones.join(' ').toStdString() << error.toStdString();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        const auto [estadoArchivo, errorArchivo] = corre(enArchivo, c.opciones);
        EXPECT_EQ(estadoArchivo, 0) << errorArchivo.toStdString();
        const Filas delServidor = cronograma(pg);
        if (c.filas) {
            EXPECT_EQ(delServidor.size(), c.filas) << c.opciones.join(' ').toStdString();
        } else {
            EXPECT_FALSE(delServidor.empty()) << c.opciones.join(' ').toStdString();
        }
        EXPECT_EQ(delServidor, cronograma(lite)) << c.opciones.join(' ').toStdString();
    }
    // Each start wrote its access row, and the first the shared settings it missed.
    EXPECT_EQ(pg.execute(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso"))
                  ->field(0)
                  .value()
                  .toNumber(),
              corridas);
    ado::Connection compartida;
    compartida.open(estadisticas);
    EXPECT_EQ(compartida
                  .execute(QStringLiteral(
                      "SELECT COUNT(*) FROM TA_CONFIGURACION WHERE CLAVE = 'timeout'"))
                  ->field(0)
                  .value()
                  .toNumber(),
              1);
    compartida.close();
    lite.close();
    pg.close();
}

}  // namespace
