#include "report/OrdenesCronograma.h"

#include <QDateTime>

#include "data/db_dll/DB_Dll.h"
#include "platform/Failure.h"
#include "platform/Regional.h"
#include "report/GeneradorCronograma.h"
#include "suitelib/SuiteLib.h"

using platform::Variant;

namespace {

[[noreturn]] void faltaDato(const OrdenCronograma& o, const char* que) {
    platform::raise(
        platform::errnum::InvalidUseOfNull,
        QStringLiteral("La orden %1 no tiene %2.")
            .arg(o.idComprobante.textOr(QStringLiteral("?")).trimmed(), QString::fromUtf8(que)));
}

// The suite's query with the order's number beside its other columns; grouped by it too, which
// groups nothing apart since the number is the document's own.
QString conNumeroDeOrden(QString sql) {
    sql.replace(QStringLiteral("select v_mv_cpte.comentarios,"),
                QStringLiteral("select v_mv_cpte.numero,v_mv_cpte.comentarios,"));
    sql.replace(QStringLiteral(" group by v_mv_cpte.nombre,"),
                QStringLiteral(" group by v_mv_cpte.numero, v_mv_cpte.nombre,"));
    return sql;
}

}  // namespace

QString textoDe(const Variant& v) {
    return SuiteLib::tools().NoNull(v).toText();
}

QDate leeFechaCronograma(const QString& texto, const char* campo) {
    const auto d = platform::Regional::current().parseDate(texto.trimmed());
    if (!d) {
        platform::raise(platform::errnum::TypeMismatch,
                        QStringLiteral("No se puede leer la fecha \"%1\" de %2.")
                            .arg(texto.trimmed(), QString::fromUtf8(campo)));
    }
    return d->date();
}

std::vector<OrdenCronograma> leeOrdenesCronograma(DB_Dll& db, const ParametrosCronograma& p,
                                                  const QDate& desde, const QDate& hasta,
                                                  bool conNumero) {
    ParametrosCronograma leidos = p;
    const auto& r = platform::Regional::current();
    leidos.fechaD = r.formatDate(QDateTime(desde, QTime(0, 0)));
    leidos.fechaH = r.formatDate(QDateTime(hasta, QTime(0, 0)));
    QString sql = consultaCronograma(leidos, filtroTecnicos(p));
    if (conNumero) sql = conNumeroDeOrden(sql);
    DB_Dll::Recordset rs;
    db.AbrirRecordset(sql, rs, nullptr, 0, 1, -1, true);
    std::vector<OrdenCronograma> ordenes;
    while (!rs->eof()) {
        auto v = [&](const char* name) { return rs->field(QString::fromLatin1(name)).value(); };
        ordenes.push_back({v("Codigo"), v("Descripcion"), v("Nombre"), v("ubicacion"), v("tecnico"),
                           v("comentarios"), v("fecha_inicio"), v("Frecuencia"), v("cada"),
                           v("total_repeticiones"), v("idcomprobante"), v("codigomant"),
                           conNumero ? v("numero") : Variant()});
        rs->moveNext();
    }
    db.CierraRecordset(rs);
    return ordenes;
}

QString rotuloCronograma(const ParametrosCronograma& p, const OrdenCronograma& o) {
    QString r;
    if (p.codigo) r += textoDe(o.codigo).trimmed() + QLatin1Char(' ');
    if (p.descripcion) r += textoDe(o.descripcion) + QStringLiteral("\r\n");
    if (p.cliente) r += textoDe(o.nombre) + QStringLiteral("\r\n");
    if (p.ubicacion) r += textoDe(o.ubicacion) + QStringLiteral("\r\n");
    if (p.tecnico) r += textoDe(o.tecnico);
    return SuiteLib::tools().LeftText(r, 100);
}

Repeticiones repeticionesDe(const OrdenCronograma& o, const QDate& desde, const QDate& hasta) {
    if (o.fechaInicio.isNull()) faltaDato(o, "fecha de inicio estimada");
    if (o.descripcion.isNull()) faltaDato(o, "descripción de mantenimiento");
    // Without a plan a document counts once, on its start date.
    qint64 n = 1;
    QString codigo = QStringLiteral("D");
    if (!o.total.isNull()) {
        const qint64 total = platform::toWholeNumber(o.total);
        n = total == 0 ? 999 : total;
        if (o.frecuencia.isNull()) faltaDato(o, "frecuencia");
        codigo = o.frecuencia.toText();
    }
    if (n > 1 && o.cada.isNull()) faltaDato(o, "valor de \"cada\"");
    // The step is only read when there is a second repetition to place.
    const qint64 cada = n > 1 ? platform::toWholeNumber(o.cada) : 0;
    const QDate inicio = o.fechaInicio.isDate()
                             ? o.fechaInicio.date().date()
                             : leeFechaCronograma(o.fechaInicio.toText(), "fecha de inicio");
    return Repeticiones(inicio, codigo, cada, n, desde, hasta);
}
