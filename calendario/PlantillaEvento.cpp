#include "calendario/PlantillaEvento.h"

#include <QUrl>

#include "calendario/Ical.h"
#include "calendario/TextoIcs.h"
#include "calendario/UidVisita.h"

namespace calendario {

namespace {

// Any day does: its digits are replaced by each visit's.
const QDate kProvisional(2000, 1, 1);

QByteArray descripcion(const OrdenCalendario& o) {
    QString d = o.descripcion;
    if (!o.numero.isEmpty()) {
        if (!d.isEmpty()) d += QLatin1String("\n\n");
        d += QLatin1String("OT ") + o.numero;
    }
    return textoIcal(d);
}

void agregaTecnico(icalcomponent* e, const QString& tecnico) {
    const QByteArray nombre = textoIcal(tecnico);
    icalcomponent_add_property(e, icalproperty_new_categories(nombre.constData()));
    const QByteArray uri = "urn:x-cronequipo:tecnico:" + QUrl::toPercentEncoding(tecnico);
    icalproperty* a = icalproperty_new_attendee(uri.constData());
    icalproperty_add_parameter(a, icalparameter_new_cn(nombre.constData()));
    icalproperty_add_parameter(a, icalparameter_new_cutype(ICAL_CUTYPE_INDIVIDUAL));
    icalcomponent_add_property(e, a);
}

Componente evento(const OrdenCalendario& o, const QByteArray& uid, const QDateTime& sello) {
    Componente e(icalcomponent_new(ICAL_VEVENT_COMPONENT));
    icalcomponent* v = e.get();
    icalcomponent_add_property(v, icalproperty_new_uid(uid.constData()));
    icalcomponent_add_property(v, icalproperty_new_dtstamp(instanteUtc(sello)));
    icalcomponent_add_property(v, icalproperty_new_dtstart(fecha(kProvisional)));
    icalcomponent_add_property(v, icalproperty_new_dtend(fecha(kProvisional.addDays(1))));
    icalcomponent_add_property(v, icalproperty_new_sequence(0));
    icalcomponent_add_property(v, icalproperty_new_status(ICAL_STATUS_CONFIRMED));
    icalcomponent_add_property(v, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    icalcomponent_add_property(v, icalproperty_new_summary(textoIcal(o.resumen).constData()));
    if (!o.lugar.isEmpty())
        icalcomponent_add_property(v, icalproperty_new_location(textoIcal(o.lugar).constData()));
    const QByteArray d = descripcion(o);
    if (!d.isEmpty()) icalcomponent_add_property(v, icalproperty_new_description(d.constData()));
    if (!o.tecnico.isEmpty()) agregaTecnico(v, o.tecnico);
    if (!o.numero.isEmpty()) {
        icalproperty* x = icalproperty_new_x(unaLinea(o.numero).constData());
        icalproperty_set_x_name(x, "X-CRONEQUIPO-OT");
        icalcomponent_add_property(v, x);
    }
    return e;
}

// Where the digits of the property line `nombre` start in `t`, checked against the day that was
// serialised there.
qsizetype digitos(const QByteArray& t, const char* nombre, const QDate& dia) {
    const QByteArray linea = QByteArray("\r\n") + nombre;
    const qsizetype i = t.indexOf(linea);
    if (i < 0 || i + linea.size() + uid::kDigitosFecha > t.size()) return -1;
    char esperado[uid::kDigitosFecha];
    uid::ponFecha(esperado, dia);
    const qsizetype p = i + linea.size();
    return t.mid(p, uid::kDigitosFecha) == QByteArrayView(esperado, uid::kDigitosFecha) ? p : -1;
}

}  // namespace

icaltimetype fecha(const QDate& d) {
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype instanteUtc(const QDateTime& sello) {
    const QDateTime u = sello.toUTC();
    icaltimetype t = icaltime_null_time();
    t.year = u.date().year();
    t.month = u.date().month();
    t.day = u.date().day();
    t.hour = u.time().hour();
    t.minute = u.time().minute();
    t.second = u.time().second();
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

bool PlantillaEvento::prepara(const OrdenCalendario& o, const QByteArray& claveEscapada,
                              const QByteArray& sufijo, const QDateTime& sello) {
    const Componente e = evento(o, uid::uid(kProvisional, claveEscapada, sufijo), sello);
    const TextoIcal t(icalcomponent_as_ical_string_r(e.get()));
    texto_ = t ? QByteArray(t.get()) : QByteArray();
    enUid_ = digitos(texto_, "UID:", kProvisional);
    enInicio_ = digitos(texto_, "DTSTART;VALUE=DATE:", kProvisional);
    enFin_ = digitos(texto_, "DTEND;VALUE=DATE:", kProvisional.addDays(1));
    const qsizetype s = texto_.indexOf("\r\nSEQUENCE:0\r\n");
    enSecuencia_ = s < 0 ? -1 : s + 11;
    return enUid_ >= 0 && enInicio_ >= 0 && enFin_ >= 0 && enSecuencia_ >= 0;
}

const QByteArray& PlantillaEvento::para(const QDate& dia, int secuencia) {
    char* t = texto_.data();
    uid::ponFecha(t + enUid_, dia);
    uid::ponFecha(t + enInicio_, dia);
    uid::ponFecha(t + enFin_, dia.addDays(1));
    if (secuencia == 0) return texto_;
    // The few visits that come back after a cancellation: their number may be longer than the 0.
    otraSecuencia_ =
        texto_.left(enSecuencia_) + QByteArray::number(secuencia) + texto_.mid(enSecuencia_ + 1);
    return otraSecuencia_;
}

}  // namespace calendario
