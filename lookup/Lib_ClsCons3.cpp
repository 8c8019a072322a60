#include "lookup/Lib_ClsCons3.h"

#include "ado/core/Error.h"
#include "data/db_dll/DB_Dll.h"
#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "lookup/SentenciaConsulta.h"
#include "platform/ArchivoLegible.h"
#include "platform/Cp1252.h"
#include "platform/Failure.h"
#include "platform/Prompt.h"

ServiciosConsulta& serviciosConsulta() {
    static ServiciosConsulta s;
    return s;
}

int reportaCarga(const platform::ErrorInfo& error, const QString& sentencia,
                 const QString& rutina) {
    const auto& reporta = serviciosConsulta().reporta;
    if (error.number != ado::code::NotReadOnly) return reporta ? reporta(error, rutina) : 0;
    if (reporta) reporta({error.number, mensajeSoloLectura(sentencia), error.source}, rutina);
    // Repeating the statement would be refused again, and the steps after it have no rows to
    // read: the load ends here.
    return 0;
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
            db.AbrirLectura(sql, rs);
        })
        .then([&] {
            for (int i = 0; i < rs->fieldCount(); ++i) nombres << rs->field(i).name();
        })
        .then([&] { db.CierraRecordset(rs); });
    steps.run();
    return nombres;
}

}  // namespace

QString Lib_ClsCons3::CheckOpciones(const QString& titulo, std::optional<QStringList>&,
                                    const QStringList& opc) {
    QStringList textos;
    std::vector<bool> marcadas;
    // Options are counted from index 0 up to the highest; below index 1 none is shown.
    if (opc.size() > 1) {
        for (const QString& o : opc) {
            textos << o.mid(1);
            marcadas.push_back(o.startsWith(QLatin1Char('1')));
        }
    }
    Lib_FrmCons3 ventana;
    ventana.CheckBoxes = true;
    ventana.Carga();
    ventana.MuestraOpciones(titulo, textos, marcadas);
    ventana.exec();
    Valores = ventana.Valores;
    return QString();
}

QString Lib_ClsCons3::MenuOpciones(const QString& titulo, const QStringList& opc) {
    Lib_FrmCons3 ventana;
    ventana.Carga();
    ventana.MuestraOpciones(titulo, opc.size() > 1 ? opc : QStringList(), {});
    ventana.exec();
    return ventana.ValorDevuelto.textOr(QString());
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& titulo, const QString& queArchivo,
                                           const QString&) {
    if (!platform::archivo::legible(queArchivo)) {
        platform::msgBox(QStringLiteral("No existe el archivo ") + queArchivo +
                         QStringLiteral(" que desea consultar consulta "));
        return QString();
    }
    QByteArray texto;
    // A file too large to read is a failing step like any other: skipped, the list empty.
    platform::Steps::skipping()
        .then([&] { texto = platform::archivo::lee(queArchivo, platform::limite::kAjustes); })
        .run();
    QStringList lineas;
    // The suite's text files are single-byte text with CR LF.
    for (const QString& l : platform::cp1252::decode(texto).split(QStringLiteral("\r\n")))
        lineas << l;
    if (!lineas.isEmpty() && lineas.last().isEmpty()) lineas.removeLast();
    Lib_FrmCons3 ventana;
    ventana.Carga();
    ventana.MuestraOpciones(titulo, lineas, {});
    ventana.exec();
    return ventana.ValorDevuelto.textOr(QString());
}

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
        Lib_FrmCons3Tree arbol(nullptr);
        arbol.SQL = SQL;
        arbol.CampoDevuelto = CampoDevuelto;
        arbol.CheckBoxes = Checks;
        Valores.reset();
        arbol.Carga();
        arbol.exec();
        ValorDevuelto = arbol.ValorDevuelto;
        Valores = arbol.Valores;
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
