// The schedule's visits as calendars, read back with the calendar library and held against the
// schedule the generation wrote for the same parameters.
#include <QDir>
#include <QFile>
#include <map>
#include <tuple>

#include "calendario/LectorIcs.h"
#include "data/db_dll/DB_Dll.h"
#include "report/CalendarioCronograma.h"
#include "report/GeneradorCronograma.h"
#include "report/ModoLote.h"
#include "report/Periodos.h"
#include "startup/globals/Globals.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/ProgramFolder.h"

namespace {

class SinAviso : public AvisoProgreso {
  public:
    void abre(const QString&) override {}
    void muestra(const QString&, const QString&, const QString&) override {}
    void cierra() override {}
};

std::vector<EventoIcs> eventos(const QString& archivo) {
    std::vector<EventoIcs> v;
    QString error;
    EXPECT_TRUE(leeIcs(
        archivo, [&](const EventoIcs& e) { v.push_back(e); }, &error))
        << archivo.toStdString() << ": " << error.toStdString();
    return v;
}

class Calendario : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        connect();
        gPcUsuario = QStringLiteral("PC01|JUAN");
        anio = demoYear();
        p.fechaD = QStringLiteral("01/01/%1").arg(anio);
        p.fechaH = QStringLiteral("31/12/%1").arg(anio);
        // The code alone is the row label: the events are told apart by it.
        p.codigo = true;
    }

    // The schedule's counts, by equipment code and period.
    using Clave = std::tuple<QString, QDate, QDate>;
    std::map<Clave, qint64> cuentas() {
        std::map<Clave, qint64> c;
        auto rs = gDB().gCnn.execute(
            QStringLiteral("SELECT Grupo, FechaD, FechaH, SUM(ImporteG1) AS n FROM "
                           "AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN' GROUP BY Grupo, "
                           "FechaD, FechaH"));
        for (; !rs->eof(); rs->moveNext()) {
            c[{rs->value(QStringLiteral("Grupo")).toText().trimmed(),
               rs->value(QStringLiteral("FechaD")).date().date(),
               rs->value(QStringLiteral("FechaH")).date().date()}] =
                qRound64(rs->value(QStringLiteral("n")).toNumber());
        }
        return c;
    }
    // The same counts made of the events: each in the period of its day.
    static std::map<Clave, qint64> deLosEventos(const std::map<Clave, qint64>& periodos,
                                                const std::vector<EventoIcs>& ev) {
        std::map<Clave, qint64> c;
        for (const auto& [k, n] : periodos) c[k] = 0;
        for (const EventoIcs& e : ev) {
            if (e.estado.compare(QStringLiteral("CANCELLED"), Qt::CaseInsensitive) == 0) continue;
            const QString codigo = e.resumen.section(QLatin1Char(' '), 0, 0);
            bool puesto = false;
            for (auto& [k, n] : c) {
                if (std::get<0>(k) == codigo && e.dia >= std::get<1>(k) &&
                    e.dia <= std::get<2>(k)) {
                    ++n;
                    puesto = true;
                    break;
                }
            }
            if (!puesto) c[{codigo + QStringLiteral(" (fuera de todo periodo)"), e.dia, e.dia}]++;
        }
        return c;
    }

    SinAviso aviso;
    ParametrosCronograma p;
    int anio = 0;
};

TEST_F(Calendario, TheVisitsOfEveryPeriodAddUpToItsCountInEveryPeriodicity) {
    const struct {
        int periodicidad;
        const char* desde;
        const char* hasta;
        const char* tecnicoD;
        const char* tecnicoH;
    } casos[] = {
        {periodicidad::Diario, "01/01", "31/12", "", ""},
        {periodicidad::Semanal, "01/01", "31/12", "", ""},
        {periodicidad::Quincenal, "03/02", "17/11", "", ""},
        {periodicidad::Mensual, "01/01", "31/12", "1", "2"},
        {periodicidad::Trimestral, "15/01", "14/12", "", ""},
        {periodicidad::Semestral, "01/01", "31/12", "", "1"},
        {periodicidad::Anual, "01/01", "31/12", "", ""},
    };
    for (const auto& c : casos) {
        p.periodicidad = c.periodicidad;
        p.fechaD = QStringLiteral("%1/%2").arg(QString::fromLatin1(c.desde)).arg(anio);
        p.fechaH = QStringLiteral("%1/%2").arg(QString::fromLatin1(c.hasta)).arg(anio);
        p.tecnicoD = QString::fromLatin1(c.tecnicoD);
        p.tecnicoH = QString::fromLatin1(c.tecnicoH);
        const std::string nombre = std::to_string(c.periodicidad) + " " + c.desde + "-" + c.hasta;
        GeneradorCronograma g(aviso);
        ASSERT_TRUE(g.genera(p)) << nombre;
        const QString archivo = dir.filePath(QStringLiteral("visitas.ics"));
        QFile::remove(archivo);
        CalendarioCronograma cal(p);
        QString error;
        ASSERT_TRUE(cal.escribe(archivo, &error)) << nombre << ": " << error.toStdString();
        const auto periodos = cuentas();
        ASSERT_FALSE(periodos.empty()) << nombre;
        const auto ev = eventos(archivo);
        EXPECT_EQ(deLosEventos(periodos, ev), periodos) << nombre;
        qint64 total = 0;
        for (const auto& [k, n] : periodos) total += n;
        EXPECT_EQ(static_cast<qint64>(ev.size()), total) << nombre;
        EXPECT_EQ(cal.visitas(), total) << nombre;
        EXPECT_GT(total, 0) << nombre;
    }
}

TEST_F(Calendario, OneFilePerTechnicianHoldsExactlyThatTechniciansVisits) {
    p.periodicidad = periodicidad::Mensual;
    p.tecnico = true;  // the technician closes the label: the row tells whose visit it is
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.genera(p));
    const QString todo = dir.filePath(QStringLiteral("todo.ics"));
    const QString carpeta = dir.filePath(QStringLiteral("técnicos/nueva"));
    CalendarioCronograma uno(p), varios(p);
    QString error;
    ASSERT_TRUE(uno.escribe(todo, &error)) << error.toStdString();
    ASSERT_TRUE(varios.escribePorTecnico(carpeta, &error)) << error.toStdString();
    const auto todos = eventos(todo);
    std::map<QString, int> porUid;
    for (const EventoIcs& e : todos) porUid[e.uid]++;
    EXPECT_EQ(porUid.size(), todos.size()) << "every visit has an identity of its own";

    const QStringList archivos = QDir(carpeta).entryList({QStringLiteral("*.ics")}, QDir::Files);
    ASSERT_GE(archivos.size(), 2) << archivos.join(QLatin1Char(',')).toStdString();
    std::size_t juntos = 0;
    for (const QString& a : archivos) {
        for (const EventoIcs& e : eventos(QDir(carpeta).filePath(a))) {
            ++juntos;
            EXPECT_EQ(porUid.count(e.uid), 1u) << a.toStdString() << " " << e.uid.toStdString();
            const QString tecnico = e.categorias.trimmed();
            EXPECT_EQ(CalendarioCronograma::archivoDeTecnico(tecnico), a) << e.uid.toStdString();
        }
    }
    EXPECT_EQ(juntos, todos.size());
    EXPECT_EQ(varios.visitas(), uno.visitas());

    // A technician left without visits: the calendar of the earlier export is written again
    // with every visit it held cancelled; a file of another program in the folder is left alone.
    const QString ajeno = QDir(carpeta).filePath(QStringLiteral("otro.ics"));
    QFile otro(ajeno);
    ASSERT_TRUE(otro.open(QIODevice::WriteOnly));
    otro.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//otro//ES\r\nEND:VCALENDAR\r\n");
    otro.close();
    const QByteArray antesAjeno = fileBytes(ajeno);
    const QString tecnico = scalar(QStringLiteral("SELECT MIN(idtecnico) FROM v_ta_tecnicos"));
    const QString nombre = scalar(
        QStringLiteral("SELECT nombre FROM v_ta_tecnicos WHERE idtecnico = '%1'").arg(tecnico));
    const QString suyo = QDir(carpeta).filePath(CalendarioCronograma::archivoDeTecnico(nombre));
    const auto antes = eventos(suyo);
    ASSERT_FALSE(antes.empty()) << nombre.toStdString();
    gDB().gCnn.execute(
        QStringLiteral("UPDATE v_mv_cpte SET idtecnico = NULL WHERE idtecnico = '%1'")
            .arg(tecnico));
    CalendarioCronograma otra(p);
    ASSERT_TRUE(otra.escribePorTecnico(carpeta, &error)) << error.toStdString();
    const auto despues = eventos(suyo);
    ASSERT_EQ(despues.size(), antes.size());
    for (const EventoIcs& e : despues)
        EXPECT_EQ(e.estado, QStringLiteral("CANCELLED")) << e.uid.toStdString();
    EXPECT_EQ(otra.canceladas(), static_cast<qint64>(antes.size()));
    EXPECT_EQ(fileBytes(ajeno), antesAjeno);
}

TEST_F(Calendario, ANewerExportCancelsTheVisitsThatAreGoneAndAFailedOneKeepsTheFile) {
    p.periodicidad = periodicidad::Mensual;
    const QString archivo = dir.filePath(QStringLiteral("visitas.ics"));
    QString error;
    ASSERT_TRUE(CalendarioCronograma(p).escribe(archivo, &error)) << error.toStdString();
    const auto antes = eventos(archivo);
    ASSERT_FALSE(antes.empty());
    // A work order finished: its visits leave the schedule.
    const QString id = scalar(QStringLiteral(
        "SELECT MIN(idcomprobante) FROM v_mv_cpte WHERE tc = 'ot' AND FINALIZADA = 0"));
    gDB().gCnn.execute(
        QStringLiteral("UPDATE v_mv_cpte SET FINALIZADA = 1 WHERE idcomprobante = %1").arg(id));
    CalendarioCronograma segunda(p);
    ASSERT_TRUE(segunda.escribe(archivo, &error)) << error.toStdString();
    const auto despues = eventos(archivo);
    EXPECT_EQ(despues.size(), antes.size()) << "the visits gone are sent again, cancelled";
    EXPECT_GT(segunda.canceladas(), 0);
    qint64 canceladas = 0;
    for (const EventoIcs& e : despues)
        canceladas += e.estado.compare(QStringLiteral("CANCELLED"), Qt::CaseInsensitive) == 0;
    EXPECT_EQ(canceladas, segunda.canceladas());
    EXPECT_EQ(static_cast<qint64>(despues.size()) - canceladas, segunda.visitas());

    // An unreadable start date of a work order stops the export before the file is touched.
    const QByteArray guardado = fileBytes(archivo);
    gDB().gCnn.execute(
        QStringLiteral("UPDATE v_mv_cpte SET fechaestinicio = NULL WHERE FINALIZADA = 0"));
    CalendarioCronograma fallida(p);
    EXPECT_FALSE(fallida.escribe(archivo, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("fecha de inicio"))) << error.toStdString();
    EXPECT_EQ(fileBytes(archivo), guardado);
}

TEST_F(Calendario, RefusedTargetsAndReportTypesAreSaidInSpanish) {
    p.periodicidad = periodicidad::Mensual;
    QString error;
    // The open database is never written over.
    EXPECT_FALSE(
        CalendarioCronograma(p).escribe(dir.filePath(QStringLiteral("GESTION.db")), &error));
    EXPECT_FALSE(error.isEmpty());
    const QByteArray db = fileBytes(dir.filePath(QStringLiteral("GESTION.db")));
    EXPECT_TRUE(db.startsWith("SQLite format 3"));
    EXPECT_FALSE(CalendarioCronograma(p).escribe(dir.path(), &error)) << "a folder";
    ParametrosCronograma inventario = p;
    inventario.tipo = 2;
    EXPECT_FALSE(
        CalendarioCronograma(inventario).escribe(dir.filePath(QStringLiteral("i.ics")), &error));
    EXPECT_EQ(error, QStringLiteral("Solo un cronograma tiene visitas para el calendario."));
    QFile bloqueo(dir.filePath(QStringLiteral("archivo")));
    ASSERT_TRUE(bloqueo.open(QIODevice::WriteOnly));
    bloqueo.close();
    EXPECT_FALSE(CalendarioCronograma(p).escribePorTecnico(
        dir.filePath(QStringLiteral("archivo/sub")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("carpeta"))) << error.toStdString();
}

TEST(CalendarioArchivos, ATechniciansNameBecomesAFileNameEverySystemCanHold) {
    const struct {
        const char* nombre;
        const char* archivo;
    } casos[] = {
        {"Martín Gutiérrez", "Martín Gutiérrez.ics"},
        {"", "Sin técnico.ics"},
        {"  ", "Sin técnico.ics"},
        {"A/B\\C:D*E?F\"G<H>I|J", "A_B_C_D_E_F_G_H_I_J.ics"},
        {"Juan  Pérez.", "Juan Pérez.ics"},
        {"con", "con_.ics"},
        {"LPT1", "LPT1_.ics"},
        {"...", "Sin técnico.ics"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(CalendarioCronograma::archivoDeTecnico(QString::fromUtf8(c.nombre)),
                  QString::fromUtf8(c.archivo))
            << c.nombre;
    }
}

TEST(CalendarioLote, TheBatchOptionsAskForCalendarsOfSchedulesOnly) {
    QString error;
    auto o = leeOpcionesLote(
        {"--batch", "--ics", "/tmp/a.ics", "--ics-por-tecnico", "/tmp/t", "--campos", "codigo"},
        &error);
    ASSERT_TRUE(o.has_value()) << error.toStdString();
    EXPECT_EQ(o->ics, QStringLiteral("/tmp/a.ics"));
    EXPECT_EQ(o->icsPorTecnico, QStringLiteral("/tmp/t"));
    EXPECT_FALSE(leeOpcionesLote({"--batch", "--tipo", "2", "--ics", "/tmp/a.ics"}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("cronograma"))) << error.toStdString();
    EXPECT_FALSE(leeOpcionesLote({"--batch", "--ics"}, &error));
    EXPECT_EQ(error, QStringLiteral("Falta el valor de la opción --ics."));
}

}  // namespace
