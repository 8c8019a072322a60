// The batch mode as the suite's scripts run it: the program itself, its exit status and what it
// writes on standard error.

#include <signal.h>
#include <sys/stat.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <clocale>
#include <string>

#include "ado/Command.h"
#include "ado/Recordset.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/Unzip.h"

namespace {

const QString kParametros =
    QStringLiteral("@Server=sqlite;@DbName=GESTION;@Usuario=demo;@Password=;@Caja=1;");

struct Salida {
    int estado = -1;
    QString error;
};

QByteArray fileBytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool hayLocaleEspanol() {
    const char* antes = std::setlocale(LC_ALL, nullptr);
    const std::string guardado = antes ? antes : "C";
    const bool hay = std::setlocale(LC_ALL, "es_ES.UTF-8") != nullptr;
    std::setlocale(LC_ALL, guardado.c_str());
    return hay;
}

class Lote : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        // The program reads its databases and templates from its own folder: it runs from a copy.
        ASSERT_TRUE(QFile::copy(QStringLiteral(CRONEQUIPO_EXE), programa()));
        QDir(dir.path()).mkpath(QStringLiteral("reportes"));
        for (const char* t :
             {"Cronequipo", "CronequipoObs", "Rp_InvenEquipos", "Rp_EquiposGarantia"}) {
            const QString nombre = QStringLiteral("reportes/%1.xml").arg(QString::fromUtf8(t));
            ASSERT_TRUE(QFile::copy(QStringLiteral(TEST_REPORTS_DIR "/") + nombre.mid(9),
                                    dir.filePath(nombre)));
        }
        anio = demoYear();
    }

    QString programa() const { return dir.filePath(QStringLiteral("cronequipo")); }

    // Starts a batch run of the program's copy as the suite's scripts do.
    void arranca(QProcess& p, const QStringList& opciones, const QString& usuario,
                 const QString& idioma = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("USERNAME"), usuario);
        if (!idioma.isEmpty()) env.insert(QStringLiteral("LC_ALL"), idioma);
        env.insert(QStringLiteral("TEMP"), dir.path());
        env.remove(QStringLiteral("DISPLAY"));
        p.setProcessEnvironment(env);
        p.start(programa(), QStringList{kParametros, QStringLiteral("--batch")} + opciones);
    }

    Salida corre(const QStringList& opciones, const QString& usuario = QStringLiteral("juan"),
                 const QString& idioma = QString(), int plazoMs = 180000) {
        QProcess p;
        arranca(p, opciones, usuario, idioma);
        Salida s;
        if (!p.waitForFinished(plazoMs)) return s;
        s.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
        s.error = QString::fromUtf8(p.readAllStandardError());
        return s;
    }

    QStringList cronograma() const {
        return {QStringLiteral("--desde"),        QStringLiteral("01/01/%1").arg(anio),
                QStringLiteral("--hasta"),        QStringLiteral("31/12/%1").arg(anio),
                QStringLiteral("--periodicidad"), QStringLiteral("Mensual"),
                QStringLiteral("--campos"),       QStringLiteral("codigo")};
    }

    int anio = 0;
};

TEST_F(Lote, ARunThatWritesNoFileEndsWithStatusOne) {
    const struct Caso {
        const char* nombre;
        QStringList opciones;
        const char* quitar;  // template removed before the run
        QStringList mensajes;
    } casos[] = {
        {"unwritable files",
         {QStringLiteral("--pdf"), QStringLiteral("/nonexistent/x.pdf"), QStringLiteral("--xlsx"),
          QStringLiteral("/nonexistent/x.xlsx")},
         nullptr,
         {QStringLiteral("No se pudo guardar el informe en PDF: no se pudo escribir el archivo "
                         "/nonexistent/x.pdf."),
          QStringLiteral("No se pudo guardar el informe como planilla: no se pudo escribir el "
                         "archivo /nonexistent/x.xlsx.")}},
        {"missing template",
         {QStringLiteral("--tipo"), QStringLiteral("2"), QStringLiteral("--pdf"),
          QStringLiteral("x.pdf")},
         "reportes/Rp_InvenEquipos.xml",
         {QStringLiteral("No se encuentra el formato del informe «Rp_InvenEquipos»")}},
        {"a pipe and a device",
         {QStringLiteral("--pdf"), dir.filePath(QStringLiteral("tuberia")),
          QStringLiteral("--xlsx"), dir.filePath(QStringLiteral("nulo"))},
         nullptr,
         {QStringLiteral("%1 no es un archivo común").arg(dir.filePath(QStringLiteral("tuberia"))),
          QStringLiteral("%1 no es un archivo común").arg(dir.filePath(QStringLiteral("nulo")))}},
    };
    // A pipe and a link to a device stand where a careless administrator points the reports.
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("tuberia"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("nulo"))));
    for (const Caso& c : casos) {
        if (c.quitar) {
            ASSERT_TRUE(QFile::remove(dir.filePath(QString::fromUtf8(c.quitar))));
        }
        QStringList opciones = c.opciones;
        if (!opciones.contains(QStringLiteral("--tipo"))) opciones = cronograma() + opciones;
        const Salida s = corre(opciones);
        EXPECT_EQ(s.estado, 1) << c.nombre << "\n" << s.error.toStdString();
        for (const QString& m : c.mensajes) {
            EXPECT_TRUE(s.error.contains(m)) << c.nombre << ": " << s.error.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("nulo"))).isSymLink());
    const QFileInfo tuberia(dir.filePath(QStringLiteral("tuberia")));
    EXPECT_TRUE(tuberia.exists() && !tuberia.isFile()) << "the pipe is still a pipe";
}

// FIFOs where the program's settings, quick lookups and error log are, and a device where a
// template is: the runs end, the one that needs the template with its name and what it is.
TEST_F(Lote, FilesThatAreNotRegularNeverStopARunAndAreNamed) {
    for (const char* tuberia : {"KV300mn.INI", "consultas.vln", "VLERR.LOG"})
        ASSERT_TRUE(hostiles::tuberia(dir.filePath(QString::fromUtf8(tuberia)))) << tuberia;
    const QString plantilla = dir.filePath(QStringLiteral("reportes/Rp_InvenEquipos.xml"));
    ASSERT_TRUE(hostiles::dispositivo(plantilla));
    const int plazo = 120000;  // a start takes seconds; a blocked one would never end
    const Salida inventario = corre({QStringLiteral("--tipo"), QStringLiteral("2"),
                                     QStringLiteral("--pdf"), QStringLiteral("x.pdf")},
                                    QStringLiteral("juan"), QString(), plazo);
    EXPECT_EQ(inventario.estado, 1) << inventario.error.toStdString();
    EXPECT_TRUE(inventario.error.contains(
        QStringLiteral("El formato del informe «Rp_InvenEquipos» no se puede leer: «%1» no es "
                       "un archivo común (es un dispositivo).")
            .arg(plantilla)))
        << inventario.error.toStdString();
    const Salida cronograma = corre(this->cronograma(), QStringLiteral("juan"), QString(), plazo);
    EXPECT_EQ(cronograma.estado, 0) << cronograma.error.toStdString();
    for (const char* tuberia : {"KV300mn.INI", "consultas.vln", "VLERR.LOG"})
        EXPECT_EQ(hostiles::claseDe(dir.filePath(QString::fromUtf8(tuberia))),
                  QStringLiteral("tubería"))
            << tuberia;
}

TEST_F(Lote, TheOpenDatabaseIsNeverWrittenOverByAReport) {
    const QString base = dir.filePath(QStringLiteral("GESTION.db"));
    for (const char* opcion : {"--pdf", "--xlsx"}) {
        const Salida s = corre(cronograma() + QStringList{QString::fromLatin1(opcion), base});
        EXPECT_EQ(s.estado, 1) << opcion << "\n" << s.error.toStdString();
        EXPECT_TRUE(s.error.contains(QStringLiteral("está abierto por el programa")))
            << s.error.toStdString();
        // Still the database, whole: the next run reads and writes it.
        QFile f(base);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.read(16).startsWith("SQLite format 3")) << opcion;
        f.close();
        ado::Connection cnn;
        cnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=x;Pwd=;"));
        EXPECT_EQ(cnn.execute(QStringLiteral("PRAGMA integrity_check"))->field(0).value().text(),
                  "ok");
        cnn.close();
    }
    EXPECT_EQ(
        corre(cronograma() + QStringList{QStringLiteral("--pdf"), dir.filePath("x.pdf")}).estado,
        0);
}

TEST_F(Lote, TheCalendarsOfTheScheduleHoldEveryVisitAndAFailedOneSetsTheStatus) {
    const QString ics = dir.filePath(QStringLiteral("visitas.ics"));
    const QString carpeta = dir.filePath(QStringLiteral("técnicos"));
    const Salida s = corre(cronograma() + QStringList{QStringLiteral("--ics"), ics,
                                                      QStringLiteral("--ics-por-tecnico"), carpeta},
                           QStringLiteral("juan"),
                           hayLocaleEspanol() ? QStringLiteral("es_ES.UTF-8") : QString());
    ASSERT_EQ(s.estado, 0) << s.error.toStdString();
    EXPECT_TRUE(s.error.isEmpty()) << s.error.toStdString();
    // As many events as the schedule counts visits, in the one file and across the folder.
    ado::Connection cnn;
    cnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=x;Pwd=;"));
    const qint64 visitas =
        qRound64(cnn.execute(QStringLiteral("SELECT SUM(ImporteG1) FROM AUX_ESTADISTICACTA"))
                     ->field(0)
                     .value()
                     .toNumber());
    cnn.close();
    ASSERT_GT(visitas, 0);
    auto eventos = [](const QString& archivo) {
        return fileBytesOf(archivo).count("BEGIN:VEVENT");
    };
    EXPECT_EQ(eventos(ics), visitas);
    qint64 enCarpeta = 0;
    const QStringList archivos = QDir(carpeta).entryList({QStringLiteral("*.ics")}, QDir::Files);
    EXPECT_GE(archivos.size(), 2);
    for (const QString& a : archivos) enCarpeta += eventos(QDir(carpeta).filePath(a));
    EXPECT_EQ(enCarpeta, visitas);

    // Onto the open database: refused, said, the status 1, the database whole.
    const QString base = dir.filePath(QStringLiteral("GESTION.db"));
    const Salida mala = corre(cronograma() + QStringList{QStringLiteral("--ics"), base});
    EXPECT_EQ(mala.estado, 1);
    EXPECT_TRUE(mala.error.contains(QStringLiteral("No se pudo escribir el calendario")))
        << mala.error.toStdString();
    EXPECT_TRUE(fileBytesOf(base).startsWith("SQLite format 3"));
    EXPECT_EQ(
        corre({QStringLiteral("--tipo"), QStringLiteral("2"), QStringLiteral("--ics"), ics}).estado,
        1);
}

TEST_F(Lote, AnUnreadableFilterOfTheTemplateFailsTheRun) {
    QFile f(dir.filePath(QStringLiteral("reportes/Cronequipo.xml")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray xml = f.readAll();
    f.close();
    xml.replace("<grid ", "<filter>{AUX_ESTADISTICACTA.Grupo} = 'sin cerrar</filter>\n  <grid ");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(xml);
    f.close();
    const Salida s =
        corre(cronograma() + QStringList{QStringLiteral("--pdf"), QStringLiteral("x.pdf")});
    EXPECT_EQ(s.estado, 1) << s.error.toStdString();
    EXPECT_TRUE(s.error.contains(QStringLiteral("no se puede leer"))) << s.error.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
}

TEST_F(Lote, AnyUserNameGetsExactlyTheRowsJustWritten) {
    connect();
    // Another user's row, with a label that no work order has, must never show.
    gDB().gCnn.execute(
        QStringLiteral(
            "INSERT INTO AUX_ESTADISTICACTA (USUARIO, Nombre, Grupo, FechaD, FechaH, ImporteG1, "
            "ImporteG2) VALUES ('OTRA|PERSONA', 'x', 'AJENO-777', '01/01/%1', '31/01/%1', 1, 1)")
            .arg(anio % 100, 2, 10, QLatin1Char('0')));
    const QString host = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0).toUpper();
    const QString usuarios[] = {
        QStringLiteral("o'brien"),    QStringLiteral("d''arcy '"),
        QStringLiteral("{llave}"),    QStringLiteral("barra\\inversa\\"),
        QStringLiteral("josé ñandú"), QStringLiteral("x'") + QString(60, QLatin1Char('q')),
    };
    for (const QString& u : usuarios) {
        const QString clave = (host + QLatin1Char('|') + u.toUpper()).left(50);
        const QString xlsx = dir.filePath(QStringLiteral("cronograma.xlsx"));
        QFile::remove(xlsx);
        const Salida s = corre(cronograma() + QStringList{QStringLiteral("--xlsx"), xlsx}, u);
        ASSERT_EQ(s.estado, 0) << u.toStdString() << "\n" << s.error.toStdString();

        ado::Command grupos;
        grupos.setActiveConnection(gDB().gCnn);
        grupos.setCommandText(
            QStringLiteral("SELECT DISTINCT Grupo FROM AUX_ESTADISTICACTA WHERE USUARIO = ?"));
        std::shared_ptr<ado::Recordset> rs;
        grupos.execute({platform::Variant(clave)}, &rs);
        QStringList etiquetas;
        for (; rs && !rs->eof(); rs->moveNext()) etiquetas << rs->field(0).value().text().trimmed();
        if (rs) rs->close();
        ASSERT_FALSE(etiquetas.isEmpty()) << "rows under " << clave.toStdString();

        const QString textos =
            QString::fromUtf8(unzipped(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
        for (const QString& e : etiquetas)
            EXPECT_TRUE(textos.contains(e)) << u.toStdString() << ": " << e.toStdString();
        EXPECT_FALSE(textos.contains(QStringLiteral("AJENO-777"))) << u.toStdString();
    }
}

TEST_F(Lote, ASpreadsheetWrittenOnASpanishDesktopCarriesItsNumbersWithAPoint) {
    ASSERT_TRUE(hayLocaleEspanol()) << "es_ES.UTF-8 is not generated (scripts/deps makes it)";
    const QString xlsx = dir.filePath(QStringLiteral("cronograma.xlsx"));
    const Salida s = corre(cronograma() + QStringList{QStringLiteral("--xlsx"), xlsx},
                           QStringLiteral("juan"), QStringLiteral("es_ES.UTF-8"));
    ASSERT_EQ(s.estado, 0) << s.error.toStdString();
    const QString hoja =
        QString::fromUtf8(unzipped(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")));
    ASSERT_TRUE(hoja.contains(QStringLiteral("<pageMargins "))) << hoja.left(2000).toStdString();
    // Every attribute that holds a number: margins, widths, heights, values.
    static const QRegularExpression decimalConComa(QStringLiteral("=\"-?[0-9]+,[0-9]+\""));
    const auto coma = decimalConComa.match(hoja);
    EXPECT_FALSE(coma.hasMatch()) << coma.captured(0).toStdString();
    static const QRegularExpression margen(QStringLiteral("<pageMargins left=\"([0-9.]+)\""));
    EXPECT_TRUE(margen.match(hoja).hasMatch()) << hoja.left(2000).toStdString();
}

// ---- stopped from outside --------------------------------------------------------------------

TEST_F(Lote, AStopSignalCancelsTheFileBeingWrittenAndTheStatusNamesIt) {
    connect();
    const QString host = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0).toUpper();
    const QString clave = host + QStringLiteral("|JUAN");
    auto filas = [&] {
        return gDB()
            .gCnn
            .execute(QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = '%1'")
                         .arg(clave))
            ->field(0)
            .value()
            .toNumber();
    };
    const QStringList largo{QStringLiteral("--desde"),        QStringLiteral("01/01/1990"),
                            QStringLiteral("--hasta"),        QStringLiteral("31/12/2029"),
                            QStringLiteral("--periodicidad"), QStringLiteral("Diario"),
                            QStringLiteral("--campos"),       QStringLiteral("codigo")};
    ASSERT_EQ(corre(largo).estado, 0);
    const double nuevas = filas();
    const QString pdf = dir.filePath(QStringLiteral("largo.pdf"));
    for (const int senal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(senal);
        // An old schedule that differs from the one the stopped run generates.
        ASSERT_EQ(corre(cronograma()).estado, 0);
        const double viejas = filas();
        ASSERT_NE(viejas, nuevas);
        {
            QFile f(pdf);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("el anterior");
        }
        QProcess p;
        arranca(p, largo + QStringList{QStringLiteral("--pdf"), pdf}, QStringLiteral("juan"));
        ASSERT_TRUE(p.waitForStarted(30000));
        // The signal comes while the PDF is being written: its temporary file stands beside it.
        bool escribiendo = false;
        for (int i = 0; i < 60000 && !escribiendo && p.state() == QProcess::Running; ++i) {
            escribiendo =
                !QDir(dir.path())
                     .entryList({QStringLiteral(".largo.pdf.*")}, QDir::Files | QDir::Hidden)
                     .isEmpty();
            if (!escribiendo) QThread::msleep(5);
        }
        ASSERT_TRUE(escribiendo) << "the run ended before writing: "
                                 << p.readAllStandardError().toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(p.processId()), senal), 0);
        ASSERT_TRUE(p.waitForFinished(300000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 128 + senal) << p.readAllStandardError().toStdString();
        QFile anterior(pdf);
        ASSERT_TRUE(anterior.open(QIODevice::ReadOnly));
        EXPECT_EQ(anterior.readAll(), QByteArray("el anterior"));
        EXPECT_TRUE(QDir(dir.path())
                        .entryList({QStringLiteral(".largo.pdf.*")}, QDir::Files | QDir::Hidden)
                        .isEmpty())
            << "the partial file removed";
        const double ahora = filas();
        EXPECT_TRUE(ahora == viejas || ahora == nuevas)
            << ahora << " rows: the schedule old (" << viejas << ") or new (" << nuevas
            << "), whole";
    }
}

// ---- several users of one database file ----------------------------------------------------

TEST_F(Lote, FourProcessesStartingAndGeneratingAtOnceLoseNothing) {
    connect();
    const int antes = scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")).toInt();
    // Another user keeps a write transaction open for three seconds while the runs start.
    ado::Connection otro;
    otro.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=x;Pwd=;"));
    otro.beginTrans();
    otro.execute(QStringLiteral(
        "INSERT INTO AUX_ESTADISTICACTA (USUARIO, Nombre) VALUES ('OTRO|USUARIO', 'espera')"));

    constexpr int kProcesos = 4, kArranques = 10;
    std::vector<std::unique_ptr<QProcess>> procesos;
    for (int k = 0; k < kProcesos; ++k) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // The first two are the same user on the same machine: one schedule key for both.
        env.insert(QStringLiteral("USERNAME"), QStringLiteral("usuario%1").arg(std::max(k - 1, 0)));
        env.insert(QStringLiteral("TEMP"), dir.path());
        env.remove(QStringLiteral("DISPLAY"));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        // Each process starts the program ten times, one after the other, and generates its
        // user's schedule after each start.
        const QString una = QStringLiteral("\"%1\" \"%2\"").arg(programa(), kParametros);
        const QString lote = QStringLiteral(
                                 " && \"%1\" \"%2\" --batch --campos codigo --periodicidad 3 "
                                 "--desde 01/01/%3 --hasta 31/12/%3")
                                 .arg(programa(), kParametros)
                                 .arg(anio);
        p->start(
            QStringLiteral("sh"),
            {QStringLiteral("-c"), QStringLiteral("for i in $(seq %1); do %2%3 || exit 1; done")
                                       .arg(kArranques)
                                       .arg(una, lote)});
        procesos.push_back(std::move(p));
    }
    QThread::sleep(3);
    otro.commitTrans();
    otro.close();
    for (auto& p : procesos) {
        ASSERT_TRUE(p->waitForFinished(300000));
        const QString salida = QString::fromUtf8(p->readAll());
        EXPECT_EQ(p->exitCode(), 0) << salida.toStdString();
        EXPECT_FALSE(salida.contains(QStringLiteral("ocupada"))) << salida.toStdString();
    }
    // One start per run of the program: the plain starts and the batch runs.
    const int arranques = 2 * kProcesos * kArranques;
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Control_Acceso")).toInt(),
              antes + arranques);
    EXPECT_EQ(scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    // Each user's schedule is whole, the shared one too: the rows of one generation, the same
    // number for every user, and none of the waiting user's.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT COUNT(*) AS n FROM "
                                    "AUX_ESTADISTICACTA WHERE USUARIO LIKE '%|USUARIO_' GROUP BY "
                                    "USUARIO)")),
              QStringLiteral("3"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(DISTINCT n) FROM (SELECT COUNT(*) AS n FROM "
                                    "AUX_ESTADISTICACTA WHERE USUARIO LIKE '%|USUARIO_' GROUP BY "
                                    "USUARIO)")),
              QStringLiteral("1"));
    EXPECT_GT(scalar(QStringLiteral("SELECT MIN(n) FROM (SELECT COUNT(*) AS n FROM "
                                    "AUX_ESTADISTICACTA WHERE USUARIO LIKE '%|USUARIO_' GROUP BY "
                                    "USUARIO)"))
                  .toInt(),
              0);
}

TEST_F(Lote, WithoutParametersAndWithoutDisplayTheMissingOnesAreNamed) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(programa(), {});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString error = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("@Server"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("@Usuario"))) << error.toStdString();
}

}  // namespace
