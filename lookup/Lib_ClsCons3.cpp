#include "lookup/Lib_ClsCons3.h"

#include "data/db_dll/DB_Dll.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/Prompt.h"

ServiciosConsulta& serviciosConsulta() {
    static ServiciosConsulta s;
    return s;
}

Lib_ClsCons3& gConsulta() {
    static Lib_ClsCons3 consulta;
    return consulta;
}

namespace {

QString cfg(const char* clave) {
    const auto& leer = serviciosConsulta().cfg;
    return leer ? leer(QString::fromUtf8(clave)) : QString();
}

platform::Variant nivel(const char* clave) {
    const QString v = cfg(clave);
    return v.trimmed().isEmpty() ? platform::Variant(0) : platform::Variant(v);
}

// The fields of a table, by name in order, as "select top 1 *" gives them.
QStringList camposDe(const QString& tabla) {
    QStringList nombres;
    DB_Dll& db = gDB();
    DB_Dll::Recordset rs;
    auto steps = platform::Steps::skipping();
    steps
        .then([&] {
            QString sql = QStringLiteral("select top 1 * from ") + tabla;
            db.AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true);
        })
        .then([&] {
            for (int i = 0; i < rs->fieldCount(); ++i) nombres << rs->field(i).name();
        })
        .then([&] { db.CierraRecordset(rs); });
    steps.run();
    return nombres;
}

}  // namespace

void Lib_ClsCons3::Inicializa() {
    MuestraStock = cfg("MostrarStockenConsultas");
    StkNivel1 = nivel("Stk_Nivel1");
    StkNivel2 = nivel("Stk_Nivel2");
    StkNivel3 = nivel("Stk_Nivel3");
    StkNivel4 = nivel("Stk_Nivel4");
    usaLike_ = cfg("UsaConsultaLike").compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

void Lib_ClsCons3::ConsultaSearch(QString& SQL, std::optional<QStringList>& CmpsDevueltosLlamador,
                                  const QString& Clave, QString& CampoBusqueda, QString& Where,
                                  const QString& SentenciaOpcional, bool TreeView,
                                  const QString& ValoresDefault) {
    PedidoConsulta pedido;
    pedido.sql = SQL;
    pedido.campoBusqueda = CampoBusqueda;
    pedido.where = Where;
    pedido.sentenciaOpcional = SentenciaOpcional;
    pedido.usarMascaras = gUsarMascarasConsultas;
    pedido.rutaMascaras = gRutaMascaraConsultas;
    pedido.topConsArt = cfg("TopConsArt");
    const SentenciaConsulta s = armaSentenciaConsulta(pedido, &camposDe);
    SQL = s.sql;
    CampoBusqueda = s.campoBusqueda;
    Where = s.where;
    if (!s.mostrar) {
        platform::msgBox(QStringLiteral("Debe configurar la consulta para esta tabla"),
                         platform::mb::Information, QStringLiteral("Aviso al operador"));
        return;
    }
    if (TreeView) {
        ValorDevuelto = platform::Variant(QString());
        Valores.reset();
        Checks = false;
    } else {
        Lib_FrmCons3 ventana(nullptr);
        ventana.StkNivel1 = StkNivel1;
        ventana.StkNivel2 = StkNivel2;
        ventana.StkNivel3 = StkNivel3;
        ventana.StkNivel4 = StkNivel4;
        ventana.MuestraStock = MuestraStock;
        ventana.CfgUsaConsultaLIKE = usaLike_;
        ventana.OrdenarPorLwv = !SQL.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive);
        ventana.FiltroInicial = Clave;
        ventana.CampoBusqueda = CampoBusqueda;
        if (gConnString.isEmpty()) gConnString = gDB().gConnString;
        ventana.SQL = SQL;
        ventana.gConnString = gConnString;
        ventana.CampoDevuelto = CampoDevuelto;
        ventana.CheckBoxes = Checks;
        ventana.UsaCantidades = UsaCantidades;
        ventana.ValoresDefault = ValoresDefault;
        Valores.reset();
        Cantidades.reset();
        ventana.CmpsDevueltos = CmpsDevueltosLlamador;
        ventana.Carga();
        if (Checks) ventana.DesmarcaTodo();
        ventana.exec();
        Checks = false;
        Valores = ventana.Valores;
        Cantidades = ventana.Cantidades;
        ValorDevuelto = ventana.ValorDevuelto;
    }
    CampoDevuelto.clear();
    if (CmpsDevueltosLlamador) CmpsDevueltosLlamador->clear();
    CmpsDevueltosLlamador.reset();
}
