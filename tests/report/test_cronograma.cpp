#include <QDate>
#include <cstdio>

#include "ado/core/Error.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/Regional.h"
#include "report/GeneradorCronograma.h"
#include "report/ModoLote.h"
#include "report/Periodos.h"
#include "report/Repeticiones.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"
#include "tests/support/ProgramFolder.h"

using platform::Variant;
namespace mb = platform::mb;

namespace {

QDate d(int y, int m, int day) {
    return QDate(y, m, day);
}

std::vector<std::pair<int, int>> days(const std::vector<Periodo>& ps) {
    std::vector<std::pair<int, int>> out;
    for (const auto& p : ps) out.push_back({p.desde.day(), p.hasta.day()});
    return out;
}

TEST(Periodos, EveryDayOfTheRangeIsInExactlyOnePeriod) {
    struct Case {
        QDate desde, hasta;
        int periodicidad;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        {d(2026, 3, 1), d(2026, 3, 20), periodicidad::Semanal, {{1, 7}, {8, 14}, {15, 20}}},
        {d(2026, 3, 1), d(2026, 3, 15), periodicidad::Semanal, {{1, 7}, {8, 14}, {15, 15}}},
        {d(2026, 1, 1), d(2026, 1, 31), periodicidad::Quincenal, {{1, 15}, {16, 30}, {31, 31}}},
        {d(2026, 1, 1), d(2026, 1, 30), periodicidad::Quincenal, {{1, 15}, {16, 30}}},
        {d(2026, 3, 1), d(2026, 3, 3), periodicidad::Diario, {{1, 1}, {2, 2}, {3, 3}}},
        {d(2026, 1, 31), d(2026, 3, 31), periodicidad::Mensual, {{31, 27}, {28, 27}, {28, 31}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(days(calculaPeriodos(c.desde, c.hasta, c.periodicidad)), c.expected);
    for (int p = 0; p <= 6; ++p) {
        const auto one = calculaPeriodos(d(2026, 5, 9), d(2026, 5, 9), p);
        ASSERT_EQ(one.size(), 1u) << p;
        EXPECT_EQ(one[0].desde, one[0].hasta);
    }
    EXPECT_TRUE(calculaPeriodos(d(2026, 5, 9), d(2026, 5, 8), periodicidad::Diario).empty());
    const auto anual = calculaPeriodos(d(2028, 2, 29), d(2030, 12, 31), periodicidad::Anual);
    ASSERT_EQ(anual.size(), 3u);
    EXPECT_EQ(anual[0].hasta, d(2029, 2, 27)) << "29 February plus a year is 28 February";
    EXPECT_EQ(anual[2].hasta, d(2030, 12, 31));
    EXPECT_EQ(calculaPeriodos(d(2026, 1, 1), d(2026, 12, 31), periodicidad::Diario).size(), 365u);
    EXPECT_THROW(calculaPeriodos(d(2026, 1, 1), d(2026, 1, 2), 7), platform::Failure);
}

TEST(Repeticiones, EachRepetitionFollowsTheOneBefore) {
    // Monthly from 31 January: 31 Jan, 28 Feb, 28 Mar ... in 2026; 29 Feb in 2028.
    const Repeticiones r(d(2026, 1, 31), "m", 1, 999, d(2026, 1, 1), d(2026, 12, 31));
    EXPECT_EQ(r.cuenta(d(2026, 2, 28), d(2026, 2, 28)), 1);
    EXPECT_EQ(r.cuenta(d(2026, 3, 28), d(2026, 3, 28)), 1);
    EXPECT_EQ(r.cuenta(d(2026, 3, 29), d(2026, 3, 31)), 0);
    EXPECT_EQ(r.total(), 12);
    const Repeticiones bisiesto(d(2028, 1, 31), "M", 1, 3, d(2028, 1, 1), d(2028, 12, 31));
    EXPECT_EQ(bisiesto.cuenta(d(2028, 2, 29), d(2028, 2, 29)), 1);
    EXPECT_EQ(bisiesto.total(), 3);

    struct Case {
        const char* codigo;
        qint64 cada, total;
        qint64 enRango;
    } cases[] = {
        {"D", 1, 10, 10}, {"S", 2, 5, 5},     {"A", 1, 999, 1},
        {"D", 0, 7, 7},   {"D", 1, 1, 1},     {"X", 1, 1, 1},
        {"D", 1, 0, 0},   {"D", 40000, 5, 1}, {"D", 1, 1000000000, 365},
    };
    for (const auto& c : cases) {
        const Repeticiones rep(d(2026, 1, 1), c.codigo, c.cada, c.total, d(2026, 1, 1),
                               d(2026, 12, 31));
        EXPECT_EQ(rep.total(), c.enRango) << c.codigo << " " << c.cada << " " << c.total;
    }
    EXPECT_THROW(Repeticiones(d(2026, 1, 1), "X", 1, 2, d(2026, 1, 1), d(2026, 1, 31)),
                 platform::Failure);
    EXPECT_THROW(Repeticiones(d(2026, 1, 1), "", 1, 2, d(2026, 1, 1), d(2026, 1, 31)),
                 platform::Failure);
}

TEST(LaunchTexts, FormulasAsTheSuiteWritesThem) {
    ParametrosCronograma p;
    p.fechaD = QStringLiteral(" 01/01/2026 ");
    p.fechaH = QStringLiteral("31/12/2026");
    p.periodicidadTexto = QStringLiteral("Mensual");
    p.tecnicoD = QStringLiteral("7");
    EXPECT_EQ(formulaParametros(p),
              QStringLiteral("Parametros = ' Fecha Desde: 01/01/2026 Hasta: 31/12/2026 Periodo: "
                             "Mensual Técnicos Desde: 7'"));
    EXPECT_EQ(formulaSeleccion(QStringLiteral("PC01|JUAN")),
              QStringLiteral("uppercase({Aux_EstadisticaCta.USUARIO}) = 'PC01|JUAN'"));
    p.tecnicoH = QStringLiteral("12");
    EXPECT_EQ(filtroTecnicos(p),
              QStringLiteral(" AND V_MV_CPTE.FINALIZADA = 0  and v_mv_cpte.idtecnico>= '   7' and "
                             "v_mv_cpte.idtecnico<= '  12'"));
}

TEST(BatchOptions, AreReadOrRefusedWithAClearMessage) {
    QString error;
    const auto o = leeOpcionesLote(
        {"@Server=sqlite;", "@DbName=GESTION;", "--batch", "--tipo", "1", "--desde", "01/02/2026",
         "--periodicidad", "mensual", "--campos", "codigo,tecnico", "--pdf", "/tmp/a.pdf"},
        &error);
    ASSERT_TRUE(o.has_value()) << error.toStdString();
    EXPECT_EQ(o->lineaParametros, QStringLiteral("@Server=sqlite; @DbName=GESTION;"));
    EXPECT_EQ(o->parametros.tipo, 1);
    EXPECT_EQ(o->parametros.periodicidad, 3);
    EXPECT_EQ(o->parametros.periodicidadTexto, QStringLiteral("Mensual"));
    EXPECT_TRUE(o->parametros.codigo && o->parametros.tecnico && !o->parametros.cliente);
    EXPECT_EQ(o->pdf, QStringLiteral("/tmp/a.pdf"));
    for (const QStringList& bad :
         {QStringList{"--tipo", "4"}, QStringList{"--periodicidad", "semanalmente"},
          QStringList{"--campos", "precio"}, QStringList{"--desde"}, QStringList{"--otra", "x"}}) {
        error.clear();
        EXPECT_FALSE(leeOpcionesLote(bad, &error).has_value()) << bad.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

// ---- the generation on the demo database ----

class Registro : public AvisoProgreso {
  public:
    void abre(const QString& t) override { eventos << QStringLiteral("abre:") + t; }
    void muestra(const QString&, const QString&, const QString&) override { ++muestras; }
    void cierra() override { eventos << QStringLiteral("cierra"); }
    QStringList eventos;
    int muestras = 0;
};

struct MotorGrabador : SuiteLib::ReportEngine {
    QStringList recibido;
    QString datos;  // the connection the rows are read through
    bool run(const QString& t, const QString&, const QString&, const QString& sel,
             const QString& conn, const QString& datosDe, const QString& f1, const QString& f2,
             const QString& f3, const QString&, const SuiteLib::ReportOutput&, qint32) override {
        recibido = {t, sel, conn, f1, f2, f3};
        datos = datosDe;
        return resultado;
    }
    bool resultado = true;
};

class Generacion : public ProgramFolder {
  protected:
    void SetUp() override {
        ProgramFolder::SetUp();
        connect();
        gPcUsuario = QStringLiteral("PC01|JUAN");
        gCadenaODBC = QStringLiteral("DSN=GESTION; UID=demo; PWD=");
        SuiteLib::ReportRunner::setEngine(&motor);
        anio = demoYear();
        p.fechaD = QStringLiteral("01/01/%1").arg(anio);
        p.fechaH = QStringLiteral("31/12/%1").arg(anio);
        p.periodicidad = periodicidad::Mensual;
        p.periodicidadTexto = QStringLiteral("Mensual");
        p.codigo = p.descripcion = p.cliente = p.ubicacion = p.tecnico = true;
        // Another user's schedule must survive every run.
        gDB().gCnn.execute(QStringLiteral(
            "INSERT INTO AUX_ESTADISTICACTA (USUARIO, Nombre) VALUES ('OTRO|USUARIO', 'ajeno')"));
    }
    void TearDown() override {
        SuiteLib::ReportRunner::setEngine(nullptr);
        ProgramFolder::TearDown();
    }
    QString propias() {
        return scalar(
            QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'"));
    }
    QString ajenas() {
        return scalar(QStringLiteral(
            "SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'OTRO|USUARIO'"));
    }

    Registro aviso;
    MotorGrabador motor;
    ParametrosCronograma p;
    int anio = 0;
};

TEST_F(Generacion, WritesOneRowPerWorkOrderAndPeriodAndLaunchesTheReport) {
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.GeneraAuxiliar(p));
    const int ordenes =
        scalar(
            QStringLiteral(
                "SELECT COUNT(DISTINCT Grupo) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'"))
            .toInt();
    EXPECT_GT(ordenes, 5);
    EXPECT_EQ(propias().toInt(), g.filasEscritas());
    EXPECT_EQ(g.filasEscritas() % 12, 0) << "twelve monthly periods for every work order";
    EXPECT_EQ(ajenas(), QStringLiteral("1"));
    EXPECT_EQ(aviso.eventos, (QStringList{"abre:Cardando Reporte", "cierra"}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = "
                                    "'PC01|JUAN' AND Grupo LIKE '%O''Higgins%'"))
                      .toInt() %
                  12,
              0)
        << "a customer with a quote keeps every row";
    EXPECT_GT(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = "
                                    "'PC01|JUAN' AND Grupo LIKE '%O''Higgins%'"))
                  .toInt(),
              0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE USUARIO = "
                                    "'PC01|JUAN' AND ImporteG1 = 0 AND Detalle <> ''")),
              QStringLiteral("0"));
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT MIN(ImporteG2) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'")),
              QStringLiteral("1"));
    ASSERT_EQ(motor.recibido.size(), 6);
    EXPECT_EQ(motor.recibido[0], QStringLiteral("Cronequipo"));
    EXPECT_EQ(motor.recibido[1],
              QStringLiteral("uppercase({Aux_EstadisticaCta.USUARIO}) = 'PC01|JUAN'"));
    EXPECT_EQ(motor.recibido[2], QStringLiteral("DSN=GESTION; UID=demo; PWD="));
    // The rows are read through the connection that wrote them, not the suite's text.
    EXPECT_EQ(motor.datos, gDB().gConnString);
    EXPECT_FALSE(motor.datos.isEmpty());
    EXPECT_TRUE(motor.recibido[3].startsWith(QStringLiteral("empresa = '")));
    EXPECT_EQ(motor.recibido[4],
              QStringLiteral("NOMBREREP= 'Cronograma de Mantenimiento de Equipos'"));

    // A technician range narrows the work orders; the new schedule replaces the old one.
    const qint64 antes = g.filasEscritas();
    p.tecnicoD = QStringLiteral("1");
    p.tecnicoH = QStringLiteral("2");
    ASSERT_TRUE(g.GeneraAuxiliar(p));
    EXPECT_LT(g.filasEscritas(), antes);
    EXPECT_EQ(propias().toInt(), g.filasEscritas());
    EXPECT_EQ(ajenas(), QStringLiteral("1"));
}

TEST_F(Generacion, QuotesInEveryTextAndATimeOfDayKeepTheirRows) {
    // One work order with a single quote in every text and a start at ten in the morning of the
    // last day of January.
    auto& c = gDB().gCnn;
    c.execute(QStringLiteral(
        "INSERT INTO v_ta_tecnicos (idtecnico, nombre) VALUES ('  99', 'D''Amico')"));
    c.execute(
        QStringLiteral("INSERT INTO v_ma_mantenimientos (codigo, descripcion, ubicacion) VALUES "
                       "('Q''1', 'Bomba d''agua', 'Sala ''B''')"));
    c.execute(QStringLiteral("INSERT INTO v_mv_cpte (idcomprobante, tc, codigomant, fecha, "
                             "fechaestinicio, nombre, idtecnico, comentarios, ANULADA, FINALIZADA) "
                             "VALUES (9001, 'ot', 'Q''1', '%1-01-31', '%1-01-31 10:00:00', "
                             "'L''Oréal', '  99', 'Revisar ''ya''', 0, 0)")
                  .arg(anio));
    c.execute(
        QStringLiteral("INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, cada, "
                       "total_repeticiones) VALUES (9001, 'Q''1', 'M', 1, 2)"));
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.genera(p));
    auto rs = c.execute(
        QStringLiteral("SELECT Grupo, Nombre, ImporteG1, Detalle FROM AUX_ESTADISTICACTA WHERE "
                       "USUARIO = 'PC01|JUAN' AND Nombre = 'Bomba d''agua' ORDER BY FechaD"));
    std::vector<double> counts;
    QString grupo, detalle;
    while (!rs->eof()) {
        counts.push_back(rs->field(2).value().toNumber());
        grupo = rs->field(0).value().text();
        if (rs->field(2).value().toNumber() > 0) detalle = rs->field(3).value().text();
        rs->moveNext();
    }
    ASSERT_EQ(counts.size(), 12u);
    EXPECT_EQ(counts[0], 1) << "the start at ten o'clock counts on its day";
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(grupo, QStringLiteral("Q'1 Bomba d'agua\r\nL'Oréal\r\nSala 'B'\r\nD'Amico"));
    EXPECT_EQ(detalle, QStringLiteral("Revisar 'ya'"));
}

TEST_F(Generacion, TheOtherReportTypesOnlyLaunchTheirTemplate) {
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.GeneraAuxiliar(p));
    const QString filas = propias();
    p.tipo = 3;
    ASSERT_TRUE(g.GeneraAuxiliar(p));
    EXPECT_EQ(propias(), filas) << "no DELETE for the equipment reports";
    EXPECT_EQ(motor.recibido, (QStringList{"Rp_EquiposGarantia", "",
                                           "DSN=GESTION; UID=demo; PWD=", motor.recibido[3],
                                           "NOMBREREP= 'Equipos en Garantia'", "Parametros =''"}));
}

TEST_F(Generacion, ARangeWithoutWorkOrdersEmptiesTheScheduleWithoutABanner) {
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.genera(p));
    p.fechaD = p.fechaH = QStringLiteral("01/01/1990");
    aviso.eventos.clear();
    ASSERT_TRUE(g.genera(p));
    EXPECT_EQ(propias(), QStringLiteral("0"));
    EXPECT_TRUE(aviso.eventos.isEmpty());
}

TEST_F(Generacion, AnUnreadableDateStopsTheRunAndKeepsThePreviousSchedule) {
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.genera(p));
    const QString filas = propias();
    p.fechaH = QStringLiteral("31/02/%1").arg(anio);
    prompts->answer(mb::Abort);
    EXPECT_FALSE(g.GeneraAuxiliar(p));
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_TRUE(prompts->last().text.contains(QStringLiteral("31/02/")));
    EXPECT_EQ(propias(), filas);
}

TEST_F(Generacion, AWorkOrderWithAnUnknownFrequencyAsksTheOperator) {
    gDB().gCnn.execute(
        QStringLiteral("UPDATE v_mv_cronograma SET frecuencia = 'Q' WHERE idcomprobante = (SELECT "
                       "MIN(idcomprobante) FROM v_mv_cronograma WHERE total_repeticiones > 1)"));
    GeneradorCronograma g(aviso);
    struct Case {
        std::vector<int> answers;
        bool completed;
    } cases[] = {{{mb::Abort}, false}, {{mb::Ignore}, true}, {{mb::Retry, mb::Ignore}, true}};
    QString completas;
    for (const auto& c : cases) {
        prompts->reset();
        for (int a : c.answers) prompts->answer(a);
        const QString previas = propias();
        const bool done = g.genera(p);
        ASSERT_FALSE(prompts->shown().empty()) << "the changed work order is in the range";
        EXPECT_EQ(done, c.completed);
        EXPECT_EQ(prompts->shown().size(), c.answers.size());
        EXPECT_TRUE(prompts->last().text.contains(
            QStringLiteral("Frecuencia de mantenimiento desconocida")));
        if (!c.completed) {
            EXPECT_EQ(propias(), previas) << "leaving keeps the previous rows";
        } else {
            if (completas.isEmpty()) completas = propias();
            EXPECT_EQ(propias(), completas) << "skipping the order writes all the others";
        }
    }
}

TEST_F(Generacion, PlanValuesThatAreNotWholeNumbersReachTheOperatorAsTheirErrors) {
    auto& c = gDB().gCnn;
    c.execute(
        QStringLiteral("INSERT INTO v_ma_mantenimientos (codigo, descripcion) VALUES "
                       "('P-1', 'Prensa')"));
    c.execute(QStringLiteral("INSERT INTO v_mv_cpte (idcomprobante, tc, codigomant, fecha, "
                             "fechaestinicio, nombre, ANULADA, FINALIZADA) VALUES (9001, 'ot', "
                             "'P-1', '%1-01-10', '%1-01-10', 'Cliente', 0, 0)")
                  .arg(anio));
    c.execute(
        QStringLiteral("INSERT INTO v_mv_cronograma (idcomprobante, codigomant, frecuencia, "
                       "cada, total_repeticiones) VALUES (9001, 'P-1', 'D', 1, 1)"));
    constexpr int kNone = 0;
    struct Case {
        const char* cada;
        const char* total;
        int error;    // the number shown to the operator, kNone when the run goes through
        int counted;  // repetitions of the order in the year when it goes through
    } cases[] = {
        {"1", "'xyz'", platform::errnum::TypeMismatch, 0},
        {"'abc'", "3", platform::errnum::TypeMismatch, 0},
        {"1", "1e300", platform::errnum::Overflow, 0},
        {"1e300", "3", platform::errnum::Overflow, 0},
        {"'abc'", "1", kNone, 1},      // one repetition never reads the step
        {"0", "40000", kNone, 40000},  // a large count that fits stays accepted
        {"'2'", "'3'", kNone, 3},      // numbers held as text are numbers
    };
    for (const Case& k : cases) {
        const std::string what = std::string(k.cada) + " / " + k.total;
        c.execute(QStringLiteral("UPDATE v_mv_cronograma SET cada = %1, total_repeticiones = %2 "
                                 "WHERE idcomprobante = 9001")
                      .arg(QString::fromUtf8(k.cada), QString::fromUtf8(k.total)));
        prompts->reset();
        prompts->answer(mb::Abort);
        GeneradorCronograma g(aviso);
        const bool done = g.genera(p);
        if (k.error == kNone) {
            EXPECT_TRUE(done) << what;
            EXPECT_TRUE(prompts->shown().empty()) << what;
            EXPECT_EQ(scalar(QStringLiteral("SELECT SUM(ImporteG1) FROM AUX_ESTADISTICACTA WHERE "
                                            "USUARIO = 'PC01|JUAN' AND Nombre = 'Prensa'"))
                          .toInt(),
                      k.counted)
                << what;
            continue;
        }
        EXPECT_FALSE(done) << what;
        ASSERT_EQ(prompts->shown().size(), 1u) << what;
        EXPECT_TRUE(prompts->last().text.startsWith(
            QStringLiteral("Ha ocurrido el Siguiente Error (%1)").arg(k.error)))
            << what << ": " << prompts->last().text.toStdString();
    }
}

TEST_F(Generacion, AWorkOrderWithoutDescriptionIsNamedInReadableSpanish) {
    auto& c = gDB().gCnn;
    c.execute(
        QStringLiteral("INSERT INTO v_ma_mantenimientos (codigo, descripcion) VALUES "
                       "('P-2', NULL)"));
    c.execute(QStringLiteral("INSERT INTO v_mv_cpte (idcomprobante, tc, codigomant, fecha, "
                             "fechaestinicio, nombre, ANULADA, FINALIZADA) VALUES (9002, 'ot', "
                             "'P-2', '%1-01-10', '%1-01-10', 'Cliente', 0, 0)")
                  .arg(anio));
    prompts->answer(mb::Abort);
    GeneradorCronograma g(aviso);
    EXPECT_FALSE(g.genera(p));
    ASSERT_EQ(prompts->shown().size(), 1u);
    EXPECT_TRUE(prompts->last().text.endsWith(
        QStringLiteral("La orden 9002 no tiene descripción de mantenimiento.")))
        << prompts->last().text.toStdString();
}

TEST_F(Generacion, ARefusedInsertIsSentAgainOrDroppedAsTheOperatorSays) {
    {
        auto raw = ado::SqliteEngine::open(dir.filePath(QStringLiteral("GESTION.db")));
        raw->executeRaw(
            QStringLiteral("CREATE TRIGGER rechaza BEFORE INSERT ON AUX_ESTADISTICACTA WHEN "
                           "NEW.Nombre LIKE 'Horno%' "
                           "BEGIN SELECT RAISE(ABORT, 'fila rechazada'); END;"));
    }
    GeneradorCronograma g(aviso);
    g.setFilasPorEnvio(1);
    prompts->answer(mb::Abort);
    EXPECT_FALSE(g.genera(p));
    EXPECT_TRUE(prompts->last().text.contains(QStringLiteral("fila rechazada")))
        << prompts->last().text.toStdString();
    EXPECT_EQ(propias(), QStringLiteral("0")) << "left: nothing of the run stays";

    prompts->reset();
    for (int k = 0; k < 200; ++k) prompts->answer(mb::Ignore);
    EXPECT_TRUE(g.genera(p));
    EXPECT_GT(propias().toInt(), 0);
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM AUX_ESTADISTICACTA WHERE Nombre LIKE 'Horno%'")),
              QStringLiteral("0"));
    EXPECT_EQ(propias().toLongLong(), g.filasEscritas())
        << "dropped rows are not counted as written";
}

TEST_F(Generacion, AClosedConnectionKeepsEverythingAsItWas) {
    GeneradorCronograma g(aviso);
    ASSERT_TRUE(g.genera(p));
    const QString filas = propias();
    gDB().gCnn.close();
    prompts->answer(mb::Abort);  // the data layer's own error dialog
    prompts->answer(mb::Abort);
    EXPECT_FALSE(g.genera(p));
    gDB().gCnn.open(
        QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =GESTION;UId=demo;Pwd=;"));
    EXPECT_EQ(propias(), filas);
}

// Every call of the engine that runs statements is made to fail in turn, once per run.
TEST_F(Generacion, AFailureAtAnyStatementLeavesTheOldScheduleOrTheNewOneWhole) {
    auto huella = [&] {
        return scalar(QStringLiteral(
            "SELECT COUNT(*) || '|' || IFNULL(SUM(ImporteG1), 0) || '|' || COUNT(DISTINCT Grupo) "
            "FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'"));
    };
    GeneradorCronograma g(aviso);
    ParametrosCronograma viejo = p;  // fewer work orders: another schedule
    viejo.tecnicoD = QStringLiteral("1");
    viejo.tecnicoH = QStringLiteral("2");
    ASSERT_TRUE(g.GeneraAuxiliar(viejo));
    const QString anterior = huella();
    ado::SqliteEngine::failCallFromNow(0);
    ASSERT_TRUE(g.GeneraAuxiliar(p));
    const int llamadas = ado::SqliteEngine::callsCounted();
    const QString nuevo = huella();
    ASSERT_NE(anterior, nuevo);
    ASSERT_GT(llamadas, 5);

    int quedaronViejas = 0, quedaronNuevas = 0;
    for (int n = 1; n <= llamadas; ++n) {
        SCOPED_TRACE(testing::Message() << "call " << n << " of " << llamadas);
        ado::SqliteEngine::failCallFromNow(0);
        ASSERT_TRUE(g.GeneraAuxiliar(viejo));
        ASSERT_EQ(huella(), anterior);
        prompts->reset();
        for (int k = 0; k < 40; ++k) prompts->answer(mb::Abort);
        ado::SqliteEngine::failCallFromNow(n);
        bool generado = false;
        EXPECT_NO_THROW(generado = g.GeneraAuxiliar(p));
        ado::SqliteEngine::failCallFromNow(0);
        const QString despues = huella();
        EXPECT_TRUE(despues == anterior || despues == nuevo) << despues.toStdString();
        (despues == nuevo ? quedaronNuevas : quedaronViejas)++;
        // A run that says it generated the schedule did; one that failed told the operator.
        if (generado) {
            EXPECT_EQ(despues, nuevo);
        } else {
            EXPECT_FALSE(prompts->shown().empty());
        }
        EXPECT_EQ(ajenas(), QStringLiteral("1")) << "another user's schedule is untouched";
        EXPECT_EQ(scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    }
    EXPECT_GT(quedaronViejas, 0);
    std::printf("%d calls made to fail: %d left the old schedule, %d the new one\n", llamadas,
                quedaronViejas, quedaronNuevas);
}

TEST_F(Generacion, BatchRunsValidateLikeThePrinterCommand) {
    OpcionesLote o;
    o.parametros = p;
    o.parametros.codigo = o.parametros.descripcion = o.parametros.cliente = o.parametros.ubicacion =
        o.parametros.tecnico = false;
    EXPECT_EQ(ejecutaLote(o), 1);
    EXPECT_EQ(prompts->last().text,
              QStringLiteral("Debe informar un campo para la primera columna del cronograma"));
    EXPECT_EQ(propias(), QStringLiteral("0"));
    o.parametros.tipo = 1;
    EXPECT_EQ(ejecutaLote(o), 0) << "type 1 allows an empty row label";
    EXPECT_EQ(scalar(QStringLiteral(
                  "SELECT MAX(LENGTH(Grupo)) FROM AUX_ESTADISTICACTA WHERE USUARIO = 'PC01|JUAN'")),
              QStringLiteral("0"));
    o.parametros.tipo = 0;
    o.parametros.codigo = true;
    o.parametros.fechaD.clear();
    EXPECT_EQ(ejecutaLote(o), 1);
    EXPECT_EQ(prompts->last().text, QStringLiteral("De completar los campos de fecha"));
}

}  // namespace
