#include "report/GeneradorCronograma.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "ado/Command.h"
#include "data/db_dll/DB_Dll.h"
#include "platform/Failure.h"
#include "platform/Process.h"
#include "platform/Prompt.h"
#include "platform/Regional.h"
#include "report/EscritorFilas.h"
#include "report/OrdenesCronograma.h"
#include "report/Periodos.h"
#include "report/Repeticiones.h"
#include "startup/config/Configuracion.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"

using platform::Variant;

namespace {

// Hands one row to the writer (none: sends what is left). A send the database refuses goes to the
// operator: 4 sends the same rows again, 5 drops them and goes on, anything else leaves the run.
template <class Reporter>
void escribe(EscritorFilas& escritor, const std::vector<Variant>& fila, const Reporter& reporta) {
    bool agregada = fila.empty();
    for (;;) {
        try {
            if (!agregada) {
                agregada = true;
                escritor.agrega(fila);
            } else {
                escritor.envia();
            }
            return;
        } catch (const platform::process::ProgramEnded&) {
            throw;
        } catch (const platform::Failure& f) {
            const int respuesta = reporta(f.info());
            if (respuesta == platform::mb::Retry) continue;
            if (respuesta == platform::mb::Ignore) {
                escritor.descarta();
                return;
            }
            platform::Steps::leave();
        }
    }
}

}  // namespace

QString filtroTecnicos(const ParametrosCronograma& p) {
    const auto& t = SuiteLib::tools();
    QString filtro = QStringLiteral(" AND V_MV_CPTE.FINALIZADA = 0 ");
    // The codes come from the user: quotes are doubled so that they stay values.
    if (!p.tecnicoD.trimmed().isEmpty())
        filtro += QStringLiteral(" and v_mv_cpte.idtecnico>= '") +
                  t.SqlSafeText(t.PadCode(p.tecnicoD, 4)) + QStringLiteral("'");
    if (!p.tecnicoH.trimmed().isEmpty())
        filtro += QStringLiteral(" and v_mv_cpte.idtecnico<= '") +
                  t.SqlSafeText(t.PadCode(p.tecnicoH, 4)) + QStringLiteral("'");
    return filtro;
}

QString consultaCronograma(const ParametrosCronograma& p, const QString& filtro) {
    const auto& t = SuiteLib::tools();
    return QStringLiteral(
               "select "
               "v_mv_cpte.comentarios,v_mv_cpte.tc,v_mv_cpte.idcomprobante,v_mv_cpte.codigomant,"
               "v_mv_cpte.fechaestinicio as fecha_inicio, v_mv_cpte.nombre, "
               "v_ma_mantenimientos.codigo, "
               "v_ma_mantenimientos.descripcion, v_ma_mantenimientos.ubicacion, ") +
           QStringLiteral(
               " (Select v_mv_cronograma.frecuencia from v_mv_cronograma where "
               "v_mv_cronograma.idcomprobante = "
               "v_mv_cpte.idcomprobante and  v_mv_cronograma.codigomant = v_mv_cpte.codigomant and "
               "v_mv_cpte.tc='ot') as Frecuencia, ") +
           QStringLiteral(
               " (Select v_mv_cronograma.cada from v_mv_cronograma where "
               "v_mv_cronograma.idcomprobante = "
               "v_mv_cpte.idcomprobante and v_mv_cronograma.codigomant = v_mv_cpte.codigomant and "
               "v_mv_cpte.tc='ot') as cada, ") +
           QStringLiteral(
               " (Select v_mv_cronograma.total_repeticiones from v_mv_cronograma where "
               "v_mv_cronograma.idcomprobante = v_mv_cpte.idcomprobante and  "
               "v_mv_cronograma.codigomant = "
               "v_mv_cpte.codigomant and v_mv_cpte.tc='ot') as total_repeticiones, ") +
           QStringLiteral(
               " (Select nombre from v_ta_tecnicos where v_mv_cpte.idtecnico = "
               "v_ta_tecnicos.idtecnico ) as "
               "tecnico from v_mv_cpte inner join v_ma_mantenimientos on v_mv_cpte.codigomant = "
               "v_ma_mantenimientos.codigo where  V_MV_CPTE.ANULADA=0 ") +
           filtro + QStringLiteral(" and v_mv_cpte.fecha >= '") + t.SqlSafeText(p.fechaD) +
           QStringLiteral("' and v_mv_cpte.fecha <= '") + t.SqlSafeText(p.fechaH) +
           QStringLiteral("'") +
           QStringLiteral(
               " group by v_mv_cpte.nombre, v_ma_mantenimientos.codigo, "
               "v_ma_mantenimientos.descripcion, "
               "v_ma_mantenimientos.ubicacion, v_mv_cpte.fechaestinicio,v_mv_cpte.idtecnico,"
               "v_mv_cpte.idcomprobante,v_mv_cpte.codigomant, v_mv_cpte.tc, "
               "v_mv_cpte.comentarios ");
}

QString formulaSeleccion(const QString& pcUsuario) {
    // The key comes from the machine and the user's name: a quote inside it is written twice so
    // that the formula's text ends where the key does.
    QString clave = pcUsuario;
    clave.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("uppercase({Aux_EstadisticaCta.USUARIO}) = '") + clave +
           QStringLiteral("'");
}

QString formulaParametros(const ParametrosCronograma& p) {
    QString f = QStringLiteral("Parametros = ' Fecha Desde: ") + p.fechaD.trimmed() +
                QStringLiteral(" Hasta: ") + p.fechaH.trimmed() + QStringLiteral(" Periodo: ") +
                p.periodicidadTexto;
    if (!p.tecnicoD.trimmed().isEmpty())
        f += QStringLiteral(" Técnicos Desde: ") + p.tecnicoD.trimmed();
    if (!p.tecnicoH.trimmed().isEmpty())
        f += QStringLiteral(" Técnicos Hasta: ") + p.tecnicoH.trimmed();
    return f + QStringLiteral("'");
}

// The steps of one generation, in the order genera() runs them. A failure of a step goes to the
// operator, who may repeat the step, skip it or leave the run; leaving rolls the transaction back.
class GeneradorCronograma::Corrida {
  public:
    Corrida(GeneradorCronograma& g, const ParametrosCronograma& p) : g_(g), p_(p) {}

    void leeFechas();
    void leeOrdenes();
    // Opens the transaction and empties the user's previous schedule inside it.
    void abre();
    void escribeOrdenes();
    // Sends what is left, commits and measures the table.
    void cierra();

    void cierraAviso();
    void deshace();
    // The banner gives way to the message the operator answers.
    int reporta(const platform::ErrorInfo& e);

  private:
    void abreAviso();
    void preparaFilas();
    void escribeOrden(const OrdenCronograma& o);
    void muestraAvance(const Periodo& per);

    GeneradorCronograma& g_;
    const ParametrosCronograma& p_;
    DB_Dll& db_ = gDB();
    QDate desde_, hasta_;
    std::vector<Periodo> periodos_;
    std::vector<OrdenCronograma> ordenes_;
    std::unique_ptr<EscritorFilas> escritor_;
    bool enTransaccion_ = false;
    bool avisoAbierto_ = false;
    // The row being written and the periods' values, made once for every work order.
    std::vector<Variant> fila_;
    std::vector<Variant> desdeV_, hastaV_;
    QElapsedTimer reloj_;
    qint64 contador_ = 0;
};

void GeneradorCronograma::Corrida::leeFechas() {
    desde_ = leeFechaCronograma(p_.fechaD, "Fecha Desde");
    hasta_ = leeFechaCronograma(p_.fechaH, "Fecha Hasta");
    periodos_ = calculaPeriodos(desde_, hasta_, p_.periodicidad);
}

void GeneradorCronograma::Corrida::leeOrdenes() {
    ordenes_ = leeOrdenesCronograma(db_, p_, desde_, hasta_);
}

void GeneradorCronograma::Corrida::abre() {
    db_.gCnn.beginTrans();
    enTransaccion_ = true;
    // Two runs for the same key (the same user on the same machine) take turns: each would
    // otherwise empty only the rows it saw, and both schedules would be kept.
    db_.gCnn.lockName(QStringLiteral("AUX_ESTADISTICACTA ") + gPcUsuario.trimmed().toUpper());
    ado::Command borrar;
    borrar.setActiveConnection(db_.gCnn);
    borrar.setCommandText(QStringLiteral("DELETE FROM AUX_ESTADISTICACTA WHERE USUARIO = ?"));
    borrar.execute({Variant(gPcUsuario)});
    escritor_ =
        std::make_unique<EscritorFilas>(db_.gCnn, QStringLiteral("AUX_ESTADISTICACTA"),
                                        QStringList{"USUARIO", "Nombre", "Grupo", "FechaD",
                                                    "FechaH", "ImporteG1", "ImporteG2", "Detalle"},
                                        g_.filasPorEnvio_);
}

void GeneradorCronograma::Corrida::escribeOrdenes() {
    if (ordenes_.empty()) return;
    abreAviso();
    preparaFilas();
    for (std::size_t i = 0; i < ordenes_.size();) {
        try {
            escribeOrden(ordenes_[i]);
            ++i;
        } catch (const std::exception&) {
            // Failures of this work order; leaving the run and ending the program are
            // not failures and pass on.
            const int respuesta = reporta(platform::errorOf(std::current_exception()));
            if (respuesta == platform::mb::Retry) continue;  // the same work order again
            if (respuesta == platform::mb::Ignore) {
                ++i;
                abreAviso();
                continue;
            }
            platform::Steps::leave();
        }
    }
}

void GeneradorCronograma::Corrida::preparaFilas() {
    reloj_.start();
    contador_ = 0;
    desdeV_.clear();
    hastaV_.clear();
    desdeV_.reserve(periodos_.size());
    hastaV_.reserve(periodos_.size());
    for (const Periodo& per : periodos_) {
        desdeV_.emplace_back(per.desde);
        hastaV_.emplace_back(per.hasta);
    }
    fila_.assign(8, Variant());
    fila_[0] = Variant(gPcUsuario);
    fila_[6] = Variant(p_.periodicidad == periodicidad::Diario ? 0 : 1);
}

// One row for each period: how many repetitions of the work order fall in it.
void GeneradorCronograma::Corrida::escribeOrden(const OrdenCronograma& o) {
    const auto& t = SuiteLib::tools();
    const Repeticiones reps = repeticionesDe(o, desde_, hasta_);
    fila_[1] = Variant(t.LeftText(textoDe(o.descripcion), 100));
    fila_[2] = Variant(rotuloCronograma(p_, o));
    const QString detalle =
        o.comentarios.isNull() ? QString() : t.LeftText(textoDe(o.comentarios), 100);
    auto reporta = [this](const platform::ErrorInfo& e) { return this->reporta(e); };
    for (std::size_t k = 0; k < periodos_.size(); ++k) {
        const Periodo& per = periodos_[k];
        ++contador_;
        const qint64 cuenta = reps.cuenta(per.desde, per.hasta);
        fila_[3] = desdeV_[k];
        fila_[4] = hastaV_[k];
        fila_[5] = Variant(static_cast<double>(cuenta));
        fila_[7] = Variant(cuenta > 0 ? detalle : QString());
        escribe(*escritor_, fila_, reporta);
        ++g_.filas_;
        muestraAvance(per);
    }
}

void GeneradorCronograma::Corrida::muestraAvance(const Periodo& per) {
    // The clock is read every 64 rows: read for every row it cost more than counting the row.
    if (contador_ % 64 != 0 || reloj_.elapsed() < g_.intervaloMs_) return;
    g_.aviso_.muestra(QStringLiteral("Espere Por Favor"),
                      platform::Regional::current().formatDate(QDateTime(per.desde, QTime(0, 0))),
                      QString::number(contador_));
    reloj_.restart();
}

void GeneradorCronograma::Corrida::cierra() {
    escribe(*escritor_, {}, [this](const platform::ErrorInfo& e) { return reporta(e); });
    g_.filas_ = escritor_->escritas();
    db_.gCnn.commitTrans();
    enTransaccion_ = false;
    // The report reads the whole schedule three times: with the table measured the
    // engine reads it straight through when one user owns most of it.
    db_.gCnn.refreshStatistics(QStringLiteral("AUX_ESTADISTICACTA"));
}

void GeneradorCronograma::Corrida::abreAviso() {
    if (avisoAbierto_) return;
    g_.aviso_.abre(QStringLiteral("Cardando Reporte"));
    avisoAbierto_ = true;
}

void GeneradorCronograma::Corrida::cierraAviso() {
    if (avisoAbierto_) g_.aviso_.cierra();
    avisoAbierto_ = false;
}

void GeneradorCronograma::Corrida::deshace() {
    if (!enTransaccion_) return;
    enTransaccion_ = false;
    try {
        db_.gCnn.rollbackTrans();
    } catch (...) {
        // The connection is gone: so is the unfinished transaction.
    }
}

int GeneradorCronograma::Corrida::reporta(const platform::ErrorInfo& e) {
    cierraAviso();
    return SuiteLib::tools().HandleError(e, QVariant(), QStringLiteral("GeneraAuxiliar"));
}

bool GeneradorCronograma::genera(const ParametrosCronograma& p) {
    filas_ = 0;
    if (p.tipo != 0 && p.tipo != 1) return true;
    Corrida c(*this, p);
    auto steps =
        platform::Steps::trapping([&](const platform::ErrorInfo& e) { return c.reporta(e); });
    steps.then([&] { c.leeFechas(); })
        .then([&] { c.leeOrdenes(); })
        .then([&] { c.abre(); })
        .then([&] { c.escribeOrdenes(); })
        .then([&] { c.cierra(); })
        .then([&] { c.cierraAviso(); })
        .cleanup([&] {
            c.cierraAviso();
            c.deshace();
        });
    return steps.run();
}

bool GeneradorCronograma::lanzaReporte(const ParametrosCronograma& p) {
    auto& runner = SuiteLib::reportRunner();
    QString aux;
    const QString seleccion =
        (p.tipo == 0 || p.tipo == 1) ? formulaSeleccion(gPcUsuario) : QString();
    const QString empresa =
        QStringLiteral("empresa = '") + Cfg(QStringLiteral("NOMBRE"), aux) + QStringLiteral("'");
    runner.SetOptionB(true);
    runner.SetOptionC(true);
    runner.SetOptionA(false);
    QString plantilla, titulo, parametros = QStringLiteral("Parametros =''");
    switch (p.tipo) {
        case 0:
            plantilla = QStringLiteral("Cronequipo");
            titulo = QStringLiteral("NOMBREREP= 'Cronograma de Mantenimiento de Equipos'");
            parametros = formulaParametros(p);
            break;
        case 1:
            plantilla = QStringLiteral("CronequipoObs");
            titulo = QStringLiteral(
                "NOMBREREP= 'Cronograma de Mantenimientos de Equipos Con Observaciones'");
            parametros = formulaParametros(p);
            break;
        case 2:
            plantilla = QStringLiteral("Rp_InvenEquipos");
            titulo = QStringLiteral("NOMBREREP= 'Inventario de Equipos'");
            break;
        case 3:
            plantilla = QStringLiteral("Rp_EquiposGarantia");
            titulo = QStringLiteral("NOMBREREP= 'Equipos en Garantia'");
            break;
        default:
            return false;
    }
    // The rows are read where they were just written, whatever gCadenaODBC would name.
    runner.SetDataConnection(gDB().gConnString);
    return runner.RunReport(plantilla, QString(), QString(), seleccion, gCadenaODBC, empresa,
                            titulo, parametros);
}

bool GeneradorCronograma::GeneraAuxiliar(const ParametrosCronograma& p) {
    if (!genera(p)) return false;
    auto steps = platform::Steps::trapping([&](const platform::ErrorInfo& e) {
        return SuiteLib::tools().HandleError(e, QVariant(), QStringLiteral("GeneraAuxiliar"));
    });
    bool lanzado = false;
    steps.then([&] { lanzado = lanzaReporte(p); });
    return steps.run() && lanzado;
}
