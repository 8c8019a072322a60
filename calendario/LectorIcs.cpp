#include "calendario/LectorIcs.h"

#include <QStringList>

#include "calendario/EventosArchivo.h"
#include "calendario/Ical.h"

using namespace calendario;

namespace {

QString texto(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

QDate fecha(const icaltimetype& t) {
    return icaltime_is_null_time(t) ? QDate() : QDate(t.year, t.month, t.day);
}

// A parameter value carries a quote or a line break as ^' and ^n (and ^ itself as ^^), which
// libical writes but does not read back.
QString sinCircunflejos(const QString& s) {
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar sig = i + 1 < s.size() ? s[i + 1] : QChar();
        if (s[i] == QLatin1Char('^') &&
            (sig == QLatin1Char('\'') || sig == QLatin1Char('n') || sig == QLatin1Char('^'))) {
            r += sig == QLatin1Char('\'')  ? QLatin1Char('"')
                 : sig == QLatin1Char('n') ? QLatin1Char('\n')
                                           : QLatin1Char('^');
            ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

// libical splits a CATEGORIES line at its commas into one property per value.
QString categorias(icalcomponent* e) {
    QStringList r;
    for (icalproperty* p = icalcomponent_get_first_property(e, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(e, ICAL_CATEGORIES_PROPERTY))
        r << texto(icalproperty_get_categories(p));
    return r.join(QLatin1Char(','));
}

QString x(icalcomponent* c, const char* nombre) {
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), nombre) == 0) return texto(icalproperty_get_x(p));
    return QString();
}

EventoIcs evento(icalcomponent* e) {
    EventoIcs r;
    r.uid = texto(icalcomponent_get_uid(e));
    r.dia = fecha(icalcomponent_get_dtstart(e));
    r.fin = fecha(icalcomponent_get_dtend(e));
    if (icalproperty* s = icalcomponent_get_first_property(e, ICAL_STATUS_PROPERTY))
        r.estado = texto(icalproperty_get_value_as_string(s));
    r.secuencia = icalcomponent_get_sequence(e);
    const icaltimetype sello = icalcomponent_get_dtstamp(e);
    if (!icaltime_is_null_time(sello))
        r.sello = QDateTime(QDate(sello.year, sello.month, sello.day),
                            QTime(sello.hour, sello.minute, sello.second), Qt::UTC);
    r.resumen = texto(icalcomponent_get_summary(e));
    r.lugar = texto(icalcomponent_get_location(e));
    r.descripcion = texto(icalcomponent_get_description(e));
    r.categorias = categorias(e);
    if (icalproperty* a = icalcomponent_get_first_property(e, ICAL_ATTENDEE_PROPERTY))
        r.asistente = sinCircunflejos(texto(icalproperty_get_parameter_as_string(a, "CN")));
    r.numero = x(e, "X-CRONEQUIPO-OT");
    return r;
}

}  // namespace

bool leeIcs(const QString& ruta, const std::function<void(const EventoIcs&)>& cadaUno,
            QString* error) {
    return eventos::recorre(
        ruta,
        [&](const std::string& t) {
            if (const Componente e = eventos::analiza(t)) cadaUno(evento(e.get()));
        },
        error);
}

bool leeCabeceraIcs(const QString& ruta, CabeceraIcs* cabecera, QString* error) {
    std::string texto;
    if (!eventos::cabecera(ruta, &texto, error)) return false;
    *cabecera = {};
    const Componente c(icalparser_parse_string(texto.c_str()));
    if (!c) return true;
    cabecera->nombre = x(c.get(), "X-WR-CALNAME");
    cabecera->desde =
        QDate::fromString(x(c.get(), "X-CRONEQUIPO-DESDE"), QStringLiteral("yyyyMMdd"));
    cabecera->hasta =
        QDate::fromString(x(c.get(), "X-CRONEQUIPO-HASTA"), QStringLiteral("yyyyMMdd"));
    return true;
}
