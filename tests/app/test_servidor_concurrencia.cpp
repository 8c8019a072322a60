// The program on a database server that several users share at once, and on one that goes away
// while the program writes: what the server keeps is whole either way.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <set>
#include <vector>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "platform/IniReader.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/SuiteEnServidor.h"

namespace {

using namespace suite_en_servidor;

using Filas = std::vector<std::string>;

class ServidorConcurrencia : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
        ASSERT_TRUE(QFile::copy(QStringLiteral(CRONEQUIPO_EXE), programa()));
        platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                              QStringLiteral("DriverSQLServer"), PostgresServer::driver());
        QDir(dir.path()).mkpath(QStringLiteral("reportes"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TEST_REPORTS_DIR "/Cronequipo.xml"),
                                dir.filePath(QStringLiteral("reportes/Cronequipo.xml"))));
        creaBases();
    }

    // The tests that follow in this program use the same server.
    void TearDown() override {
        if (pg.state() == ado::adstate::Open) pg.close();
        EXPECT_TRUE(server.start()) << server.failure().toStdString();
    }

    void creaBases() {
        suite_en_servidor::creaBases(server, pg);
        pg.execute(
            QStringLiteral("INSERT INTO TA_USUARIOS (Nombre, NombreCompleto, Administrador) VALUES "
                           "('postgres', 'Administración', 1)"));
    }

    QString programa() const { return dir.filePath(QStringLiteral("cronequipo")); }

    QString parametros() const {
        return QStringLiteral(
                   "@Server=127.0.0.1,%1;@DbName=cronequipo;@Usuario=postgres;@Password=;"
                   "@Caja=1;")
            .arg(server.port());
    }

    // A program of the suite started by `usuario` on this machine, without a display.
    void preparaProceso(QProcess& p, const QString& usuario) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USERNAME"), usuario);
        env.insert(QStringLiteral("TEMP"), dir.path());
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
    }

    QString psql(const QString& sql) const { return suite_en_servidor::psql(server, sql); }

    qint64 cuenta(const QString& sql) {
        return static_cast<qint64>(pg.execute(sql)->field(0).value().toNumber());
    }

    // The rows of one user's schedule, in the order they were written.
    Filas cronogramaDe(const QString& patron) {
        Filas filas;
        auto rs = pg.execute(
            QStringLiteral("SELECT Nombre, FechaD, FechaH, ImporteG1 FROM AUX_ESTADISTICACTA "
                           "WHERE USUARIO LIKE '%1' ORDER BY Id")
                .arg(patron));
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

    PostgresServer& server = PostgresServer::instance();
    QTemporaryDir dir;
    ado::Connection pg;
};

TEST_F(ServidorConcurrencia, FourProcessesStartingAndGeneratingAtOnceLoseNothing) {
    for (const char* sql : kOrdenes) pg.execute(QString::fromUtf8(sql));
    const QStringList lote{
        QStringLiteral("--batch"),        QStringLiteral("--campos"), QStringLiteral("codigo"),
        QStringLiteral("--periodicidad"), QStringLiteral("Mensual"),  QStringLiteral("--desde"),
        QStringLiteral("01/01/2026"),     QStringLiteral("--hasta"),  QStringLiteral("31/12/2026")};
    // The shared user has a schedule from before.
    {
        QProcess antes;
        preparaProceso(antes, QStringLiteral("usuario0"));
        antes.start(programa(), QStringList{parametros()} + lote);
        ASSERT_TRUE(antes.waitForFinished(180000));
        ASSERT_EQ(antes.exitCode(), 0) << antes.readAllStandardError().toStdString();
    }
    const std::size_t filas = cronogramaDe(QStringLiteral("%|USUARIO0")).size();
    ASSERT_EQ(filas, 12u * 3u);
    const qint64 accesos = cuenta(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso"));

    // Another session keeps a write transaction open over that schedule, and a row of its own:
    // the shared user's first two runs wait for it together, the other users' do not.
    ado::Connection otro;
    otro.open(server.connectionString());
    otro.beginTrans();
    otro.execute(QStringLiteral(
        "UPDATE AUX_ESTADISTICACTA SET Detalle = 'revisado' WHERE USUARIO LIKE '%|USUARIO0'"));
    otro.execute(QStringLiteral(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO, Nombre) VALUES ('OTRO|USUARIO', 'espera')"));

    constexpr int kProcesos = 4, kArranques = 10;
    std::vector<std::unique_ptr<QProcess>> procesos;
    for (int k = 0; k < kProcesos; ++k) {
        auto p = std::make_unique<QProcess>();
        // The first two are the same user on the same machine: one schedule key for both.
        preparaProceso(*p, QStringLiteral("usuario%1").arg(std::max(k - 1, 0)));
        // Each process starts the program ten times, one after the other, and generates its
        // user's schedule after each start.
        const QString una = QStringLiteral("\"%1\" \"%2\"").arg(programa(), parametros());
        p->start(QStringLiteral("sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("for i in $(seq %1); do %2 && %2 %3 || exit 1; done")
                      .arg(kArranques)
                      .arg(una, lote.join(QLatin1Char(' ')))});
        procesos.push_back(std::move(p));
    }
    // What another user reads meanwhile: every schedule whole, each time it looks.
    std::set<std::string> vistos;
    const auto mira = [&] {
        auto rs = pg.execute(QStringLiteral(
            "SELECT USUARIO, COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO LIKE '%|USUARIO_' "
            "GROUP BY USUARIO"));
        for (; !rs->eof(); rs->moveNext()) {
            if (rs->field(1).value().toNumber() != static_cast<double>(filas))
                vistos.insert(QStringLiteral("%1: %2")
                                  .arg(rs->field(0).value().toText())
                                  .arg(rs->field(1).value().toNumber())
                                  .toStdString());
        }
    };
    // The transaction stays open for three seconds, until both of the shared user's runs wait
    // and until another user's schedule has been written beside it.
    const auto esperan = [&] {
        return psql(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = "
                                   "'cronequipo' AND wait_event_type = 'Lock'"))
            .toInt();
    };
    const auto escritos = [&] {
        return cuenta(
            QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO "
                           "LIKE '%|USUARIO1' OR USUARIO LIKE '%|USUARIO2'"));
    };
    QElapsedTimer reloj;
    reloj.start();
    while ((reloj.elapsed() < 3000 || esperan() < 2 || escritos() == 0) && reloj.elapsed() < 120000)
        QThread::msleep(50);
    EXPECT_EQ(esperan(), 2);
    EXPECT_GT(escritos(), 0) << "no schedule was written while the other transaction was open";
    otro.commitTrans();
    otro.close();

    for (auto& p : procesos) {
        while (p->state() != QProcess::NotRunning && reloj.elapsed() < 300000) {
            p->waitForFinished(50);
            mira();
        }
        const bool termino = p->waitForFinished(0) || p->state() == QProcess::NotRunning;
        const QString error = QString::fromUtf8(p->readAllStandardError());
        const QString salida = QString::fromUtf8(p->readAllStandardOutput());
        ASSERT_TRUE(termino) << error.toStdString();
        EXPECT_EQ(p->exitCode(), 0) << error.toStdString();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        // Each plain start ends with its summary.
        EXPECT_EQ(salida.count(QStringLiteral("Conectado a cronequipo")), kArranques)
            << salida.toStdString();
    }
    EXPECT_TRUE(vistos.empty()) << testing::PrintToString(vistos);
    // One access row per run of the program: the plain starts and the batch runs.
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")),
              accesos + 2 * kProcesos * kArranques);
    // Each user's schedule is whole, the shared one too: the rows of one generation, the same for
    // every user.
    const Filas primero = cronogramaDe(QStringLiteral("%|USUARIO0"));
    EXPECT_EQ(primero.size(), filas);
    for (const char* otroUsuario : {"%|USUARIO1", "%|USUARIO2"}) {
        const Filas suyo = cronogramaDe(QString::fromLatin1(otroUsuario));
        EXPECT_EQ(suyo.size(), filas) << otroUsuario;
        EXPECT_TRUE(suyo == primero) << otroUsuario;
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(DISTINCT USUARIO) FROM AUX_ESTADISTICACTA")), 4);
    // The other session's row is as it committed it.
    EXPECT_EQ(cuenta(QStringLiteral(
                  "SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'OTRO|USUARIO'")),
              1);
}

TEST_F(ServidorConcurrencia, AServerStoppedWhileTheProgramWritesKeepsThePreviousScheduleWhole) {
    // A hundred work orders, each visited every day: a daily schedule of a year is long to write.
    for (const char* sql : {kOrdenes[0], kOrdenes[1], kOrdenes[2]})
        pg.execute(QString::fromUtf8(sql));
    const char* const equipos[] = {"EQ-001", "eq-002", "EQ-003"};
    QStringList ordenes, planes;
    for (int k = 1; k <= 100; ++k) {
        const QString equipo = QString::fromLatin1(equipos[k % 3]);
        ordenes << QStringLiteral(
                       "(%1, 'ot', '0001-%1', '01/02/2026', '03/02/2026', '     1', "
                       "'   1', '%2', 0, 0)")
                       .arg(k)
                       .arg(equipo);
        planes << QStringLiteral("(%1, '%2', 'D', 1, 0)").arg(k).arg(equipo);
    }
    pg.execute(QStringLiteral("INSERT INTO v_mv_cpte (idcomprobante, tc, numero, fecha, "
                              "fechaestinicio, idcliente, idtecnico, codigomant, ANULADA, "
                              "FINALIZADA) VALUES ") +
               ordenes.join(QStringLiteral(", ")));
    pg.execute(QStringLiteral("INSERT INTO v_mv_cronograma (idcomprobante, codigomant, "
                              "frecuencia, cada, total_repeticiones) VALUES ") +
               planes.join(QStringLiteral(", ")));
    const auto lote = [&](QProcess& p, const char* periodicidad, const QString& pdf) {
        preparaProceso(p, QStringLiteral("juan"));
        p.start(programa(), {parametros(), QStringLiteral("--batch"), QStringLiteral("--campos"),
                             QStringLiteral("codigo"), QStringLiteral("--periodicidad"),
                             QString::fromLatin1(periodicidad), QStringLiteral("--desde"),
                             QStringLiteral("01/01/2026"), QStringLiteral("--hasta"),
                             QStringLiteral("31/12/2026"), QStringLiteral("--pdf"), pdf});
    };
    // The server goes away at once (a machine that fails) or as an administrator stops it, which
    // ends the connections itself.
    const struct {
        const char* parada;
        const char* antes;  // the periodicity of the schedule from before
        std::size_t filas;
    } casos[] = {{"immediate", "Mensual", 100u * 12u}, {"fast", "Trimestral", 100u * 4u}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.parada);
        // The schedule of a first run, and its report.
        const QString primerPdf = dir.filePath(QStringLiteral("%1.pdf").arg(c.antes));
        {
            QProcess primera;
            lote(primera, c.antes, primerPdf);
            ASSERT_TRUE(primera.waitForFinished(180000));
            ASSERT_EQ(primera.exitCode(), 0) << primera.readAllStandardError().toStdString();
            ASSERT_TRUE(QFile::exists(primerPdf));
        }
        const Filas antes = cronogramaDe(QStringLiteral("%|JUAN"));
        ASSERT_EQ(antes.size(), c.filas);

        // A second one, stopped with the server while it writes.
        QProcess segunda;
        const QString pdf = dir.filePath(QStringLiteral("diario-%1.pdf").arg(c.parada));
        lote(segunda, "Diario", pdf);
        const auto escribe = [&] {
            return psql(QStringLiteral(
                            "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = 'cronequipo' "
                            "AND pid <> pg_backend_pid() AND state <> 'idle' AND query ILIKE "
                            "'insert into aux_estadisticacta%'"))
                       .toInt() > 0;
        };
        QElapsedTimer reloj;
        reloj.start();
        bool escribiendo = false;
        while (!(escribiendo = escribe()) && segunda.state() != QProcess::NotRunning &&
               reloj.elapsed() < 120000)
            segunda.waitForFinished(20);
        ASSERT_TRUE(escribiendo) << "the generation ended or did not write before the server "
                                    "could be stopped: "
                                 << segunda.readAllStandardError().toStdString();
        ASSERT_TRUE(server.stop(QString::fromLatin1(c.parada))) << "the server did not stop";

        // The program says so and ends at once, without success.
        const bool termino = segunda.waitForFinished(60000);
        if (!termino) segunda.kill();
        const QString error = QString::fromUtf8(segunda.readAllStandardError());
        ASSERT_TRUE(termino) << "the program still runs without its server: "
                             << error.toStdString();
        EXPECT_EQ(segunda.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(segunda.exitCode(), 1) << error.toStdString();
        EXPECT_TRUE(error.contains(
            QStringLiteral("Se perdió la conexión con el servidor de la base de datos")))
            << error.toStdString();
        EXPECT_TRUE(segunda.readAllStandardOutput().isEmpty());
        EXPECT_FALSE(QFile::exists(pdf));

        // Back on line, the server has the first schedule, whole, and nothing of the second.
        ASSERT_TRUE(server.start()) << server.failure().toStdString();
        pg.close();
        pg.open(server.connectionString());
        const Filas despues = cronogramaDe(QStringLiteral("%|JUAN"));
        EXPECT_EQ(despues.size(), antes.size());
        EXPECT_TRUE(despues == antes);
        EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA")),
                  static_cast<qint64>(antes.size()));
    }
}

}  // namespace
