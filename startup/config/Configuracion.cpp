#include "startup/config/Configuracion.h"

#include "platform/Process.h"
#include "platform/Prompt.h"
#include "startup/Errores.h"
#include "startup/globals/Globals.h"
#include "suitelib/SuiteLib.h"

namespace {

// Cfg and CfgVL differ only in the connection, the open check and the routine name.
QString leeConfiguracion(DB_Dll& db, const QString& clave, QString& auxiliar, bool compruebaAbierta,
                         const QString& rutina) {
    if (compruebaAbierta && !db.gOpenFlag) return QString();
    QString resultado;
    QString sql;
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::trapping([&](const platform::ErrorInfo& e) {
        return ReportaError(e, std::nullopt, rutina) == platform::mb::Ignore ? 5 : 0;
    });
    steps
        .then([&] {
            if (gTablaConfiguracion.trimmed().isEmpty())
                gTablaConfiguracion = QStringLiteral("TA_CONFIGURACION");
        })
        .then([&] {
            sql = QStringLiteral("SELECT VALOR, valoraux FROM ") + gTablaConfiguracion +
                  QStringLiteral(" with(nolock)  WHERE CLAVE = '") +
                  SuiteLib::tools().SqlSafeText(clave.trimmed()) + QStringLiteral("'");
        })
        .then([&] {
            const QString k = clave.trimmed();
            if (k.compare(QLatin1String("[FECHA HASTA]"), Qt::CaseInsensitive) == 0 ||
                k.compare(QLatin1String("[FECHA DESDE]"), Qt::CaseInsensitive) == 0)
                sql = sql.toUpper();
        })
        .then([&] { db.AbrirRecordset(sql, rs, &db.gCnn, 0, 1, -1, true); })
        .then([&] {
            if (rs->bof()) {
                resultado = QStringLiteral(" ");
                auxiliar = QString();
            } else {
                resultado =
                    SuiteLib::tools().NoNull(rs->field(QStringLiteral("Valor")).value()).toText();
                auxiliar = SuiteLib::tools()
                               .NoNull(rs->field(QStringLiteral("ValorAux")).value())
                               .toText();
            }
        })
        .then([&] { db.CierraRecordset(rs); })
        .then([&] {
            if (clave.compare(QLatin1String("THEME"), Qt::CaseInsensitive) == 0 &&
                resultado.trimmed().isEmpty())
                resultado = QStringLiteral("1");
        })
        .cleanup([&] {
            if (rs) db.CierraRecordset(rs);
        });
    if (!steps.run()) return QString();
    return resultado;
}

}  // namespace

QString Cfg(const QString& clave, QString& auxiliar) {
    return leeConfiguracion(gDB(), clave, auxiliar, true, QStringLiteral("Cfg"));
}

QString CfgVL(const QString& clave, QString& auxiliar) {
    return leeConfiguracion(gDBEstadisticas(), clave, auxiliar, false, QStringLiteral("CfgVL"));
}

void GrabaCfgVL(const QString& clave, const platform::Variant& valor, const QString& auxiliar,
                bool politica, const QString& grupo, bool recorta) {
    DB_Dll& db = gDBEstadisticas();
    DB_Dll::Recordset rs;
    QString sql;
    const auto& t = SuiteLib::tools();
    auto steps = platform::Steps::skipping();
    steps
        .then([&] {
            sql = QStringLiteral("SELECT * FROM ") + gTablaConfiguracion +
                  QStringLiteral(" with(nolock)  WHERE CLAVE = '") + t.SqlSafeText(clave) +
                  QStringLiteral("'");
        })
        .then([&] { db.AbrirRecordset(sql, rs, &db.gCnn, 2, 3, -1, true); })
        .then([&] {
            if (rs->bof()) {
                rs->addNew();
            } else {
                rs->moveFirst();
            }
        })
        .then([&] {
            rs->field(QStringLiteral("Grupo")).setValue(t.NoNull(platform::Variant(grupo)));
        })
        .then([&] {
            rs->field(QStringLiteral("CLAVE"))
                .setValue(t.NoNull(platform::Variant(clave.trimmed().toUpper())));
        })
        .then([&] {
            const platform::Variant v =
                recorta ? platform::Variant(valor.toText().trimmed()) : valor;
            rs->field(QStringLiteral("VALOR")).setValue(t.NoNull(v));
        })
        .then([&] { rs->field(QStringLiteral("PoliticaNegocio")).setValue(politica); })
        .then([&] {
            if (!auxiliar.isEmpty())
                rs->field(QStringLiteral("ValorAux")).setValue(auxiliar.trimmed());
        })
        .then([&] { rs->update(); })
        .then([&] { db.CierraRecordset(rs); });
    steps.run();
}

namespace {

// The readings of the settings as the program-wide values take them.
QString cfg(const char* clave) {
    QString aux;
    return Cfg(QString::fromUtf8(clave), aux);
}
bool siFlag(const char* clave) {
    return cfg(clave).compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}
QString texto(const char* clave) {
    return cfg(clave).trimmed();
}
// Anything but blank or "NO".
bool marcado(const char* clave) {
    const QString r = cfg(clave);
    return !r.trimmed().isEmpty() && r.compare(QLatin1String("NO"), Qt::CaseInsensitive) != 0;
}
double importe(const char* clave) {
    return SuiteLib::tools().TextToNumber(cfg(clave));
}

// Each setting is read on its own: one that cannot be read keeps its default and the others are
// still read.
void cargaConsultasYTitulos(const QString& carpeta) {
    auto steps = platform::Steps::skipping();
    steps.then([] { gTablaConfiguracion = QStringLiteral("ta_configuracion"); })
        .then([] {
            gMostrarStockenConsultas =
                SuiteLib::tools()
                    .NoNull(platform::Variant(cfg("MostrarStockenConsultas")))
                    .toText()
                    .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
        })
        .then([] { gTituloClientes = texto("TituloClientes"); })
        .then([] { gTituloProveedores = texto("TituloProveedores"); })
        .then([&] { gArchivoDocTareas = carpeta + QStringLiteral("VLDOCTareas.vln"); })
        .then([] { gExigeClaveConsultaLikeArticulos = siFlag("EXIGECLAVECONSULTALIKEARTICULOS"); })
        .then([] { gUsaConsultaLike = siFlag("UsaConsultaLike"); });
    steps.run();
}

void cargaDecimalesYModulos() {
    auto steps = platform::Steps::skipping();
    steps.then([] { gCantidadDecimales = cfg("CantidadDecimales"); })
        .then([] { gSSConfidencialidad = siFlag("SS_CONFIDENCIALIDAD"); })
        .then([] {
            // Only the suite's sales, order and work-order programs take the sales decimals.
            static const QStringList ventas = {
                "VLFACTURA",      "VLFACTURAS",       "VLPEDIDOS",
                "VLPRESUPUESTOS", "VLREMITOS",        "VLNOTASCREDITO",
                "VLORDENTRABAJO", "VLORDENESTRABAJO", "VLMOSTRADOR"};
            if (!ventas.contains(platform::process::programName(), Qt::CaseInsensitive)) return;
            const QString v = cfg("CantidadDecimalesVentas");
            if (platform::leadingNumber(v) > 0) gCantidadDecimales = v;
        })
        .then([] { gUsaMultiplesMonedas = siFlag("UsaMultilesMonedas"); })
        .then([] { gUsaFacturaProforma = siFlag("UsaFacturaProforma"); })
        .then([] { gUsaCCosto = siFlag("USACCOSTO"); })
        .then([] { gUsaStkStockUdKg = siFlag("USA_STK_STOCK_UDKG"); });
    steps.run();
}

// The business unit of the logged-in user, and whether the user sees pro-forma invoices.
void cargaUnidadDeNegocio() {
    const auto& t = SuiteLib::tools();
    gUNegocio.clear();
    QString sql = QStringLiteral("Select * from ta_usuarios  with(nolock)  where Nombre = '") +
                  t.SqlSafeText(gUsuarioLogeado) + QStringLiteral("'");
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::skipping();
    steps.then([&] { gDB().AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true); })
        .then([&] {
            if (rs->bof()) return;
            gUNegocio = t.NoNull(rs->field(QStringLiteral("UNegocio")).value()).toText();
            if (gUsaFacturaProforma)
                gUsaFacturaProforma = rs->field(QStringLiteral("verproforma")).value().toBool();
        })
        .then([&] { gDB().CierraRecordset(rs); });
    steps.run();
    if (gUNegocio.isEmpty()) gUNegocio = QStringLiteral("   1");
}

void cargaUnidadesYColores() {
    auto steps = platform::Steps::skipping();
    steps.then([] { gUnidadMedidaM3 = texto("UNIDADDEMEDIDA_M3"); })
        .then([] { gUnidadMedidaBL = texto("UNIDADDEMEDIDA_BL"); })
        .then([] { gUnidadMedidaKG = texto("UNIDADDEMEDIDA_KG"); })
        .then([] { gPeriodo = platform::leadingInteger16(cfg("PERIODO")); })
        .then([] {
            gRazonSocialPorUneg =
                texto("RazonSocialPorUneg").compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
        })
        .then([] {
            gValidaCodigoBarra =
                texto("VALIDACODIGOBARRA").compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
        })
        .then([] {
            gColorFondo = static_cast<qint32>(importe("CFondo"));
            if (gColorFondo == 0) gColorFondo = 0xFFFF00;
        })
        .then([] { gColorLetra = static_cast<qint32>(importe("CLetra")); })
        .then([] {
            gModuloOrdenDeTrabajo =
                texto("ModuloOrdenDeTrabajo").compare(QLatin1String("NO"), Qt::CaseInsensitive) !=
                0;
        });
    steps.run();
}

void cargaPreciosYMaderera() {
    auto steps = platform::Steps::skipping();
    steps.then([] { gVModificaCPrecio = marcado("V_ModificaCPrecio"); })
        .then([] { gCModificaCPrecio = marcado("C_ModificaCPrecio"); })
        .then([] { gMaderera = marcado("MADERERA"); })
        .then([] { gMadTiras = texto("MAD_TIRAS"); })
        .then([] { gMadP2 = texto("MAD_P2"); })
        .then([] { gMadML = texto("MAD_ML"); })
        .then([] { gMadM2 = texto("MAD_M2"); })
        .then([] { gMadHojas = texto("MAD_HOJAS"); })
        .then([] { gMadMLP2 = texto("MAD_ML_P2"); })
        .then([] { gMadM2P2 = texto("MAD_M2_P2"); })
        .then([] { gMadMLM2 = texto("MAD_ML_M2"); })
        .then([] { gCuentaCtroDist = texto("CuentaCtroDist"); });
    steps.run();
}

void cargaLimitesYClaves() {
    auto steps = platform::Steps::skipping();
    steps.then([] { gMaxDto = importe("MaxDto"); })
        .then([] { gMaxDtoProforma = importe("MaxDtoProforma"); })
        .then([] { gPideClaveStockNeg = marcado("PideClave_StockNeg"); })
        .then([] { gPideClaveMarkUpBase = marcado("PideClave_MarkUpBase"); })
        .then([] { gPideClaveLimiteCredito = marcado("PideClave_LimiteCredito"); })
        .then([] { gSSBloqueoActivo = siFlag("SS_BloqueoActivo"); })
        .then([] { gUtilizarFechaDia = siFlag("UTILIZARFECHADIA"); })
        .then([] { gAsignacionAutomaticaDeLoteING = siFlag("AsignacionAutomaticaDeLoteING"); })
        .then([] { gAsignacionAutomaticaDeLoteINGOP = siFlag("AsignacionAutomaticaDeLoteINGOP"); })
        .then([] {
            gCondIvaEmpresa = platform::leadingInteger16(cfg("CONDIVAEMPRESA"));
            if (gCondIvaEmpresa == 0) gCondIvaEmpresa = platform::leadingInteger16(cfg("CONDIVA"));
            if (gCondIvaEmpresa == 0) gCondIvaEmpresa = 1;
        })
        .then([] {
            gTopDefault = cfg("Top_Default");
            if (gTopDefault.trimmed().isEmpty()) gTopDefault = QStringLiteral("1000");
        });
    steps.run();
}

}  // namespace

void CargaConfiguracion(const QString& carpeta) {
    cargaConsultasYTitulos(carpeta);
    cargaDecimalesYModulos();
    platform::Steps::skipping().then(&cargaUnidadDeNegocio).run();
    cargaUnidadesYColores();
    cargaPreciosYMaderera();
    cargaLimitesYClaves();
}
