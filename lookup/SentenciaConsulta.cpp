#include "lookup/SentenciaConsulta.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "lookup/ConsultasVln.h"
#include "platform/Variant.h"
#include "suitelib/SuiteLib.h"

namespace {

bool igual(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool contiene(const QString& texto, const char* que) {
    return texto.contains(QLatin1String(que), Qt::CaseInsensitive);
}

// The caller's statement: articles read from their view with the stock; the condition added.
void sentenciaDelLlamador(SentenciaConsulta& s) {
    const auto& t = SuiteLib::tools();
    if (contiene(s.sql, "V_MA_ARTICULOS"))
        s.sql = t.ReplaceName(s.sql, QStringLiteral("V_MA_ARTICULOS"),
                              QStringLiteral("VT_MA_ARTICULOS"));
    if (s.where.trimmed().isEmpty()) return;
    if (!contiene(s.where, "WHERE")) s.where = QStringLiteral(" WHERE ") + s.where;
    s.sql += s.where;
}

// The default statement: the table's fields, last first, the descriptive one searched.
void sentenciaPorDefecto(SentenciaConsulta& s, const PedidoConsulta& p, const QString& tope,
                         const CamposDeTabla& campos) {
    if (!p.sentenciaOpcional.isEmpty()) {
        s.sql = p.sentenciaOpcional;
        return;
    }
    const QString tabla = s.sql;
    QString lista;
    if (igual(tabla, "V_TA_DEPOSITO")) {
        lista = QStringLiteral("Descripcion,IdDeposito,UnidadNegocio,");
        s.campoBusqueda = QStringLiteral("IDDEPOSITO");
    } else {
        const bool tomaId = igual(tabla, "v_mv_mutuales") || igual(tabla, "V_MV_TROPA_STOCK");
        bool primero = true;
        for (const QString& nombre : campos ? campos(tabla) : QStringList()) {
            const bool interno = igual(nombre, "ID") || igual(nombre, "FECHAHORA_MODIFICACION") ||
                                 igual(nombre, "FECHAHORA_GRABACION");
            if (interno && !tomaId) continue;
            if (interno || igual(nombre, "DESCRIPCION") || igual(nombre, "NOMBRE") ||
                igual(nombre, "DETALLE") || primero)
                s.campoBusqueda = nombre;
            primero = false;
            lista = nombre + QLatin1Char(',') + lista;
        }
    }
    if (lista.trimmed().isEmpty()) {
        lista = QStringLiteral(" * ");
    } else {
        lista.chop(1);
    }
    const QString cond = QLatin1Char(' ') + s.where;
    const QString w = cond.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ");
    s.sql = QStringLiteral("SELECT TOP ") + tope + QLatin1Char(' ') + lista +
            QStringLiteral(" FROM ") + tabla + w + cond + QStringLiteral(" ORDER BY ") +
            s.campoBusqueda;
}

}  // namespace

SentenciaConsulta armaSentenciaConsulta(const PedidoConsulta& p, const CamposDeTabla& campos) {
    const auto& t = SuiteLib::tools();
    SentenciaConsulta s;
    s.sql = p.sql;
    s.campoBusqueda = p.campoBusqueda;
    s.where = p.where;
    if (s.where.trimmed().size() > 1 && !s.where.trimmed().startsWith(QLatin1Char('(')))
        s.where = QStringLiteral(" (") + s.where + QStringLiteral(") ");
    const double limite = platform::leadingNumber(p.topConsArt);
    const QString tope =
        limite == 0 ? QStringLiteral("1000") : QString::number(static_cast<qint64>(limite));

    if (contiene(s.sql, "SELECT")) {
        sentenciaDelLlamador(s);
        return s;
    }
    if (!p.usarMascaras) {
        sentenciaPorDefecto(s, p, tope, campos);
        return s;
    }
    // Without the file the window gets the bare table name, and the database says what it is.
    if (!QFileInfo::exists(p.rutaMascaras)) return s;
    const auto registro = buscaConsulta(p.rutaMascaras, s.sql);
    if (!registro) {
        sentenciaPorDefecto(s, p, tope, campos);
        return s;
    }
    QString tabla = registro->tabla;
    QString cols =
        t.ReplaceEvery(registro->columnas, QStringLiteral("|"), QStringLiteral(",")).trimmed();
    if (cols.startsWith(QLatin1Char(','))) cols.remove(0, 1);
    if (cols.endsWith(QLatin1Char(','))) cols.chop(1);
    if (cols.isEmpty()) cols = QStringLiteral("*");
    if (s.campoBusqueda.isEmpty()) {
        if (!cols.contains(QLatin1Char(','))) {
            s.mostrar = false;
            return s;
        }
        s.campoBusqueda = cols.section(QLatin1Char(','), 0, 0);
    }
    QString cond = registro->filtro;
    if (cond.isEmpty() && !s.where.trimmed().isEmpty()) cond = s.where;
    QString porDefecto;
    if (igual(tabla, "VT_PROVEEDORES") || igual(tabla, "VT_CLIENTES")) {
        porDefecto = QStringLiteral("Dada_De_Baja = 0");
    } else if (igual(tabla, "V_MA_ARTICULOS")) {
        tabla = QStringLiteral("VT_MA_ARTICULOS");
        porDefecto = QStringLiteral("SUSPENDIDO = 0");
    }
    if (!porDefecto.isEmpty() && cond.trimmed().isEmpty()) cond = porDefecto;
    const QString w = cond.trimmed().isEmpty() ? QString() : QStringLiteral(" WHERE ");
    if (!s.campoBusqueda.isEmpty()) {
        s.sql = QStringLiteral("SELECT TOP ") + tope + QLatin1Char(' ') + cols +
                QStringLiteral(" FROM ") + tabla + QStringLiteral("  with(nolock) ") + w + cond +
                QStringLiteral(" ORDER BY ") + s.campoBusqueda;
    } else {
        s.sql = QStringLiteral("SELECT TOP ") + tope + QLatin1Char(' ') + cols +
                QStringLiteral(" FROM ") + tabla + QStringLiteral(" with(nolock) ") + w + cond;
    }
    return s;
}

NuevaBusqueda nuevaBusqueda(const QString& sql, const QString& baseActual, const QString& campo,
                            const QString& texto, bool like) {
    const auto& t = SuiteLib::tools();
    NuevaBusqueda n;
    n.base = baseActual;
    n.texto = texto;
    QString cola;
    const qsizetype orden = sql.indexOf(QLatin1String("order by"), 0, Qt::CaseInsensitive);
    if (sql.contains(QLatin1String("order"), Qt::CaseInsensitive) && orden >= 0) {
        cola = sql.mid(orden);
        n.base = sql.left(orden);
    }
    const qsizetype grupo = sql.indexOf(QLatin1String("group by"), 0, Qt::CaseInsensitive);
    if (grupo >= 0) {
        if (!sql.mid(grupo).trimmed().isEmpty()) cola = sql.mid(grupo);
        n.base = sql.left(grupo);
    }
    QString prefijo;
    if (contiene(n.base, "stk_ma_articulos.")) prefijo = QStringLiteral("stk_ma_articulos.");
    if (contiene(n.base, "v_ma_articulos.")) prefijo = QStringLiteral("v_ma_articulos.");
    const QString union_ =
        contiene(sql, "where") ? QStringLiteral(" and ") : QStringLiteral(" where ");
    if (like) {
        QString patron = texto;
        patron.replace(QLatin1Char(' '), QLatin1Char('%'));
        n.sql = n.base + union_ + prefijo + campo + QStringLiteral(" like '%") +
                t.SqlSafeText(patron) + QStringLiteral("%' ") + cola;
    } else {
        n.texto = t.ReplaceEvery(texto, QStringLiteral("*"), QStringLiteral("%"));
        n.sql = n.base + union_ + prefijo + campo + QStringLiteral(" like '") +
                t.SqlSafeText(n.texto) + QStringLiteral("%' ") + cola;
    }
    return n;
}

QString mensajeSoloLectura(const QString& sentencia) {
    static const QRegularExpression desde(QStringLiteral("\\bfrom\\s+([^\\s;,()]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto m = desde.match(sentencia);
    const QString consulta = m.hasMatch() ? QStringLiteral("La consulta de ") + m.captured(1)
                                          : QStringLiteral("La consulta");
    // A statement of thousands of characters would hide the message under it.
    constexpr qsizetype kLargo = 300;
    QString texto = sentencia.trimmed();
    if (texto.size() > kLargo) texto = texto.left(kLargo) + QChar(0x2026);
    return consulta +
           QStringLiteral(
               " solo puede leer datos: su sentencia los cambiaría o no es una sola "
               "consulta, y no se ejecutó. La base de datos no cambió.\r\n\r\n") +
           texto;
}
