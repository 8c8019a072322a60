// The program on a database server, as an administrator sets it up: the start-up and the
// generation through the server's ODBC driver give what they give on the embedded database.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/sqlite/SqliteEngine.h"
#include "calendario/LectorIcs.h"
#include "platform/IniReader.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/SuiteEnServidor.h"
#include "tests/support/Unzip.h"

namespace {

using namespace suite_en_servidor;

// At either end of the calendar the program takes, and descriptions that differ only in case.
const char* const kOrdenesExtremos[] = {
    "INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion, idcliente) VALUES "
    "('EQ-004', 'Caldera', 'Sótano', '     1'), ('EQ-005', 'CALDERA', 'Sótano', '     1')",
    "INSERT INTO v_mv_cpte (idcomprobante, tc, numero, fecha, fechaestinicio, idcliente, "
    "idtecnico, codigomant, ANULADA, FINALIZADA) VALUES "
    "(4, 'ot', '0001-4', '31/12/1900', '31/12/1900', '     1', '   2', 'EQ-004', 0, 0), "
    "(5, 'ot', '0001-5', '12/01/2100', '13/01/2100', '     1', '   1', 'EQ-005', 0, 0)",
    "INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, "
    "total_repeticiones) VALUES (4, 'EQ-004', 'A', 1, 201), (5, 'EQ-005', 'M', 1, 12)",
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
    // labels that differ only in case are equal to both engines: their order among themselves
    // is either's
    std::sort(filas.begin(), filas.end());
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
    // An embedded database of the program's folder made from the scripts named.
    QString baseEmbebida(const char* nombre, std::initializer_list<const char*> scripts) {
        const QString archivo = dir.filePath(QString::fromUtf8(nombre));
        ado::SqliteEngine::create(archivo);
        auto engine = ado::SqliteEngine::open(archivo);
        for (const char* s : scripts) engine->execute(script(s));
        return archivo;
    }
    QString enServidor() const {
        return QStringLiteral(
                   "@Server=127.0.0.1,%1;@DbName=cronequipo;@Usuario=postgres;@Password=;"
                   "@Caja=1;")
            .arg(server.port());
    }
    std::pair<int, QString> corre(const QString& parametros, const QStringList& opciones) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USERNAME"), QStringLiteral("juan"));
        env.insert(QStringLiteral("TEMP"), dir.path());
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        QStringList argumentos{parametros, QStringLiteral("--batch")};
        if (!opciones.contains(QStringLiteral("--campos")))
            argumentos << QStringLiteral("--campos")
                       << QStringLiteral("codigo,descripcion,tecnico");
        p.start(programa(), argumentos + opciones);
        if (!p.waitForFinished(180000)) return {-1, QStringLiteral("no terminó")};
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }

    const PostgresServer& server = PostgresServer::instance();
    QTemporaryDir dir;
};

TEST_F(LoteEnServidor, TheProgramStartsAndGeneratesOnTheServerAsOnTheEmbeddedDatabase) {
    ado::Connection pg;
    creaBases(server, pg);
    const QString estadisticas = suite_en_servidor::estadisticas(server);
    // The embedded databases beside the program.
    const QString gestion = baseEmbebida("GESTION.db", {"schema.sql"});
    baseEmbebida("VL_ESTADISTICAS.db", {"estadisticas.sql"});
    ado::Connection lite;
    lite.open(
        QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=demo;Pwd=;").arg(gestion));
    for (ado::Connection* c : {&pg, &lite}) {
        c->execute(QStringLiteral(
            "INSERT INTO TA_USUARIOS (Nombre, NombreCompleto, Administrador) VALUES ('postgres', "
            "'Administración', 1), ('demo', 'Demo', 1)"));
        for (const char* sql : kOrdenes) c->execute(QString::fromUtf8(sql));
        for (const char* sql : kOrdenesExtremos) c->execute(QString::fromUtf8(sql));
    }

    const QString enServidor = this->enServidor();
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
        {{"--desde", "01/01/1900", "--hasta", "31/12/2100", "--periodicidad", "6"}, 201 * 5},
        {{"--desde", "01/12/1900", "--hasta", "31/01/2101", "--periodicidad", "3", "--campos",
          "descripcion"},
         0},
        {{"--desde", "01/01/2100", "--hasta", "31/12/2100", "--periodicidad", "0", "--campos",
          "descripcion,ubicacion"},
         0},
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

// The demo business on the server and in the embedded database: the same spreadsheet and the
// same PDF text, read from the server although a database file of the same name lies in the
// program's folder with other work orders.
TEST_F(LoteEnServidor, TheReportReadFromTheServerIsTheOneOfTheEmbeddedDatabase) {
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        << "pdftotext is missing (scripts/deps installs poppler-utils)";
    ado::Connection pg;
    creaBases(server, pg);
    pg.execute(script("demo.sql"));
    pg.execute(QStringLiteral(
        "INSERT INTO TA_USUARIOS (Nombre, NombreCompleto, Administrador) VALUES ('postgres', "
        "'Administración', 1)"));
    QDir().mkpath(dir.filePath(QStringLiteral("reportes")));
    for (const char* plantilla : {"Cronequipo.xml", "CronequipoObs.xml"})
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TEST_REPORTS_DIR "/") + QString::fromUtf8(plantilla),
                        dir.filePath(QStringLiteral("reportes/")) + QString::fromUtf8(plantilla)));
    baseEmbebida("DEMO.db", {"schema.sql", "demo.sql"});
    baseEmbebida("VL_ESTADISTICAS.db", {"estadisticas.sql"});
    const QString otra = baseEmbebida("GESTION.db", {"schema.sql"});
    {
        ado::Connection c;
        c.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=demo;Pwd=;")
                   .arg(otra));
        for (const char* sql : kOrdenes) c.execute(QString::fromUtf8(sql));
        for (const char* sql : kOrdenesExtremos) c.execute(QString::fromUtf8(sql));
        c.close();
    }
    // The demo's dates follow today: its year is the one the demo was made in.
    const QString anio = pg.execute(QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WHERE "
                                                   "CLAVE = 'PERIODO'"))
                             ->field(0)
                             .value()
                             .toText();
    pg.close();
    const QString enArchivo =
        QStringLiteral("@Server=sqlite;@DbName=DEMO;@Usuario=demo;@Password=;@Caja=1;");
    const struct {
        const char* periodicidad;
        const char* campos;
    } casos[] = {{"3", "codigo,descripcion,cliente,ubicacion,tecnico"}, {"1", "codigo,tecnico"}};
    for (const auto& c : casos) {
        QStringList salidas[2];
        for (int lado = 0; lado < 2; ++lado) {
            const QString base =
                dir.filePath(lado ? QStringLiteral("archivo") : QStringLiteral("servidor"));
            const auto [estado, error] =
                corre(lado ? enArchivo : enServidor(),
                      {QStringLiteral("--desde"), QStringLiteral("01/01/") + anio,
                       QStringLiteral("--hasta"), QStringLiteral("31/12/") + anio,
                       QStringLiteral("--periodicidad"), QString::fromUtf8(c.periodicidad),
                       QStringLiteral("--campos"), QString::fromUtf8(c.campos),
                       QStringLiteral("--pdf"), base + QStringLiteral(".pdf"),
                       QStringLiteral("--xlsx"), base + QStringLiteral(".xlsx"),
                       QStringLiteral("--ics"), base + QStringLiteral(".ics")});
            ASSERT_EQ(estado, 0) << error.toStdString();
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
            for (const char* parte : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"})
                salidas[lado] << QString::fromUtf8(
                    unzipped(base + QStringLiteral(".xlsx"), QString::fromUtf8(parte)));
            QProcess texto;
            texto.start(
                QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), base + QStringLiteral(".pdf"), QStringLiteral("-")});
            ASSERT_TRUE(texto.waitForFinished(60000));
            // The two runs may straddle a minute: the print time is not what is compared.
            salidas[lado] << QString::fromUtf8(texto.readAllStandardOutput())
                                 .replace(QRegularExpression(QStringLiteral(
                                              "Impreso el \\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d")),
                                          QStringLiteral("Impreso el dd/mm/aaaa hh:mm"));
            // The calendar's events, in any order: the server hands the orders in its own.
            QStringList eventos;
            QString porque;
            EXPECT_TRUE(leeIcs(
                base + QStringLiteral(".ics"),
                [&](const EventoIcs& e) {
                    eventos << QStringList{e.dia.toString(Qt::ISODate),
                                           e.resumen,
                                           e.lugar,
                                           e.descripcion,
                                           e.categorias,
                                           e.numero}
                                   .join(QLatin1Char('|'));
                },
                &porque))
                << porque.toStdString();
            eventos.sort();
            salidas[lado] << eventos.join(QLatin1Char('\n'));
        }
        EXPECT_FALSE(salidas[0][3].isEmpty()) << "the schedule's visits are in the calendar";
        EXPECT_TRUE(salidas[0].join(QString()).contains(QStringLiteral("EQ-001")))
            << "the demo's equipment is in the report";
        EXPECT_TRUE(salidas[0][2].contains(QStringLiteral("Martín Gutiérrez")));
        for (int k = 0; k < 4; ++k) EXPECT_EQ(salidas[0][k], salidas[1][k]) << c.campos << " " << k;
    }
}

}  // namespace
