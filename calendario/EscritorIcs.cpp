#include "calendario/EscritorIcs.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

#include "calendario/EventosArchivo.h"
#include "calendario/Ical.h"
#include "calendario/TextoIcs.h"
#include "calendario/UidVisita.h"

using namespace calendario;

namespace {

void agregaX(icalcomponent* c, const char* nombre, const QByteArray& valor) {
    icalproperty* x = icalproperty_new_x(valor.constData());
    icalproperty_set_x_name(x, nombre);
    icalcomponent_add_property(c, x);
}

QByteArray digitos(const QDate& d) {
    QByteArray r(uid::kDigitosFecha, '0');
    if (d.isValid()) uid::ponFecha(r.data(), d);
    return r;
}

std::uint64_t claveVisita(quint32 orden, const QDate& dia) {
    return (std::uint64_t(orden) << 32) | std::uint32_t(dia.toJulianDay());
}

// Every line of `texto` within 75 octets, as libical folds them.
bool cortas(const std::string& texto) {
    for (size_t i = 0, fin; i < texto.size(); i = fin + 2) {
        fin = texto.find("\r\n", i);
        if (fin == std::string::npos || fin - i > 75) return false;
    }
    return true;
}

// An event written by an export before, cancelled in its own text: its STATUS and SEQUENCE are
// lines of their own, so that changing them there keeps every other byte as libical wrote it and
// spares serialising the event again. False when the text is not of that form.
// Its DTSTAMP becomes the time of this export, when the cancellation is sent.
bool cancelaTexto(const std::string& texto, int secuencia, const std::string& sello,
                  std::string* r) {
    static const std::string kConfirmado = "\r\nSTATUS:CONFIRMED\r\n";
    static const std::string kSello = "\r\nDTSTAMP:";
    const std::string linea = "\r\nSEQUENCE:" + std::to_string(secuencia) + "\r\n";
    const size_t estado = texto.find(kConfirmado);
    const size_t orden = texto.find(linea);
    const size_t enSello = texto.find(kSello);
    const size_t finSello =
        enSello == std::string::npos ? enSello : texto.find("\r\n", enSello + kSello.size());
    if (estado == std::string::npos || orden == std::string::npos ||
        finSello == std::string::npos || texto.find(kConfirmado, estado + 1) != std::string::npos ||
        texto.find(linea, orden + 1) != std::string::npos ||
        texto.find(kSello, enSello + 1) != std::string::npos || !cortas(texto))
        return false;
    *r = texto;
    // From the end backwards, so that each place found stays where it was.
    struct Cambio {
        size_t donde, largo;
        std::string por;
    };
    std::vector<Cambio> cambios = {
        {estado, kConfirmado.size(), "\r\nSTATUS:CANCELLED\r\n"},
        {orden, linea.size(), "\r\nSEQUENCE:" + std::to_string(secuencia + 1) + "\r\n"},
        {enSello, finSello - enSello, kSello + sello}};
    std::sort(cambios.begin(), cambios.end(),
              [](const Cambio& a, const Cambio& b) { return a.donde > b.donde; });
    for (const Cambio& c : cambios) r->replace(c.donde, c.largo, c.por);
    return true;
}

// A cancellation of `previo` made anew: its UID, the day the UID names, its texts as libical
// read them, its sequence one higher unless it was cancelled already (then its stamp too is
// kept, when it has one).
Componente cancelacion(icalcomponent* previo, const char* u, const QDate& dia, bool yaCancelado,
                       const QDateTime& sello) {
    Componente c(icalcomponent_new(ICAL_VEVENT_COMPONENT));
    icalcomponent_add_property(c.get(), icalproperty_new_uid(u));
    const icaltimetype antes = icalcomponent_get_dtstamp(previo);
    icalcomponent_add_property(
        c.get(), icalproperty_new_dtstamp(
                     yaCancelado && !icaltime_is_null_time(antes) ? antes : instanteUtc(sello)));
    icalcomponent_add_property(c.get(), icalproperty_new_dtstart(fecha(dia)));
    icalcomponent_add_property(c.get(), icalproperty_new_dtend(fecha(dia.addDays(1))));
    const int secuencia = icalcomponent_get_sequence(previo);
    icalcomponent_add_property(c.get(),
                               icalproperty_new_sequence(yaCancelado ? secuencia : secuencia + 1));
    icalcomponent_add_property(c.get(), icalproperty_new_status(ICAL_STATUS_CANCELLED));
    if (const char* t = icalcomponent_get_summary(previo))
        icalcomponent_add_property(c.get(), icalproperty_new_summary(t));
    if (const char* t = icalcomponent_get_location(previo))
        icalcomponent_add_property(c.get(), icalproperty_new_location(t));
    if (const char* t = icalcomponent_get_description(previo))
        icalcomponent_add_property(c.get(), icalproperty_new_description(t));
    return c;
}

}  // namespace

EscritorIcs::EscritorIcs(QString baseDatos, QString nombre, QDate desde, QDate hasta,
                         QDateTime sello)
    : baseDatos_(std::move(baseDatos)),
      nombre_(std::move(nombre)),
      desde_(desde),
      hasta_(hasta),
      sello_(sello.isValid() ? std::move(sello) : QDateTime::currentDateTimeUtc()),
      sufijo_(uid::sufijoBase(baseDatos_)),
      selloTexto_(sello_.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString()) {}

bool EscritorIcs::abre(const QString& ruta, QString* error) {
    ruta_ = ruta;
    hayOrden_ = false;
    fallo_.clear();
    ordenes_.clear();
    escritas_.clear();
    visitas_ = canceladas_ = 0;
    return salida_.abre(ruta, error) && escribeCabeza(error);
}

// The head and the foot are an empty VCALENDAR with its properties, as libical writes it, cut
// where its END line starts: the events go in between.
bool EscritorIcs::escribeCabeza(QString* error) {
    Componente cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent* c = cal.get();
    icalcomponent_add_property(c, icalproperty_new_version("2.0"));
    icalcomponent_add_property(c, icalproperty_new_prodid("-//Cronequipo//Cronograma//ES"));
    icalcomponent_add_property(c, icalproperty_new_calscale("GREGORIAN"));
    icalcomponent_add_property(c, icalproperty_new_method(ICAL_METHOD_PUBLISH));
    agregaX(c, "X-WR-CALNAME", unaLinea(nombre_));
    agregaX(c, "X-CRONEQUIPO-DESDE", digitos(desde_));
    agregaX(c, "X-CRONEQUIPO-HASTA", digitos(hasta_));
    const TextoIcal t(icalcomponent_as_ical_string_r(c));
    const QByteArray texto = t ? QByteArray(t.get()) : QByteArray();
    const qsizetype fin = texto.lastIndexOf("END:VCALENDAR");
    if (fin < 0) {
        if (error) *error = QStringLiteral("No se pudo componer la cabecera del calendario");
        salida_.cierra(nullptr);
        return false;
    }
    salida_.agrega(texto.left(fin));
    pie_ = texto.mid(fin);
    return true;
}

void EscritorIcs::retoma(const QString& anterior) {
    previas_.clear();
    // A previous file that cannot be read as a calendar has no sequences to keep.
    eventos::recorre(
        anterior, [this](const std::string& texto) { guardaSecuencia(texto); }, nullptr);
    std::sort(previas_.begin(), previas_.end());
}

// Most events of ours were written at SEQUENCE 0 and confirmed: their text says so.
void EscritorIcs::guardaSecuencia(const std::string& texto) {
    QByteArray directo;
    if (eventos::uidDirecto(texto, &directo) &&
        (!uid::partes(directo, sufijo_).dia.isValid() ||
         (texto.find("\r\nSEQUENCE:0\r\n") != std::string::npos &&
          texto.find("\r\nSTATUS:CONFIRMED\r\n") != std::string::npos)))
        return;
    const Componente e = eventos::analiza(texto);
    const char* u = e ? icalcomponent_get_uid(e.get()) : nullptr;
    const uid::Partes p = uid::partes(u ? QByteArrayView(u) : QByteArrayView(), sufijo_);
    if (!p.dia.isValid()) return;
    const int s = icalcomponent_get_sequence(e.get()) +
                  (icalcomponent_get_status(e.get()) == ICAL_STATUS_CANCELLED ? 1 : 0);
    if (s > 0) previas_.push_back({uid::huella(p.clave), p.dia.toJulianDay(), s});
}

int EscritorIcs::secuencia(const QDate& dia) const {
    const Previa buscada{huellaActual_, dia.toJulianDay(), 0};
    const auto i = std::lower_bound(previas_.begin(), previas_.end(), buscada);
    return i != previas_.end() && i->huella == buscada.huella && i->dia == buscada.dia
               ? i->secuencia
               : 0;
}

void EscritorIcs::orden(const OrdenCalendario& o) {
    actual_ = o;
    const QByteArray clave = uid::claveEnUid(o.clave);
    huellaActual_ = uid::huella(clave);
    ordenActual_ = ordenes_.value(clave, quint32(ordenes_.size()));
    ordenes_.insert(clave, ordenActual_);
    hayOrden_ = plantilla_.prepara(o, clave, sufijo_, sello_);
    if (!hayOrden_ && fallo_.isEmpty())
        fallo_ = QStringLiteral("No se pudieron escribir las visitas de la orden %1").arg(o.numero);
}

void EscritorIcs::visita(const QDate& dia, qint64 veces) {
    escribeVisita(dia);
    if (veces < 2) return;
    const OrdenCalendario propia = actual_;
    for (qint64 k = 2; k <= veces; ++k) {
        OrdenCalendario otra = propia;
        otra.clave += QStringLiteral("-%1").arg(k);
        orden(otra);
        escribeVisita(dia);
    }
    orden(propia);
}

void EscritorIcs::escribeVisita(const QDate& dia) {
    if (!hayOrden_ || !salida_.abierta() || !dia.isValid() || dia.year() < 1 || dia.year() > 9999)
        return;
    salida_.agrega(plantilla_.para(dia, previas_.empty() ? 0 : secuencia(dia)));
    escritas_.push_back(claveVisita(ordenActual_, dia));
    ++visitas_;
}

bool EscritorIcs::cierra(const QString& anterior, QString* error) {
    if (!salida_.abierta()) {
        if (error) *error = QStringLiteral("El calendario no está abierto");
        return false;
    }
    std::sort(escritas_.begin(), escritas_.end());
    escritas_.erase(std::unique(escritas_.begin(), escritas_.end()), escritas_.end());
    const QFileInfo previo(anterior);
    if (!anterior.isEmpty() && previo.exists() &&
        previo.canonicalFilePath() != QFileInfo(ruta_).canonicalFilePath())
        cancelaDe(anterior);
    salida_.agrega(pie_);
    std::vector<std::uint64_t>().swap(escritas_);
    std::vector<Previa>().swap(previas_);
    if (!salida_.cierra(error)) return false;
    if (!fallo_.isEmpty() && error) *error = fallo_;
    return fallo_.isEmpty();
}

void EscritorIcs::cancelaDe(const QString& anterior) {
    // A previous file that cannot be read as a calendar has nothing of ours to cancel.
    eventos::recorre(
        anterior, [this](const std::string& texto) { cancela(texto); }, nullptr);
}

// Whether the event of the previous file with this UID is one of ours that is gone.
bool EscritorIcs::seCancela(QByteArrayView u) const {
    const uid::Partes p = uid::partes(u, sufijo_);
    if (!p.dia.isValid() || p.dia < desde_ || p.dia > hasta_) return false;
    const auto o = ordenes_.constFind(p.clave.toByteArray());
    return o == ordenes_.cend() ||
           !std::binary_search(escritas_.begin(), escritas_.end(), claveVisita(*o, p.dia));
}

// Most events of a previous file are visits written again or not ours: their UID, read
// straight from the text, tells so without parsing them.
void EscritorIcs::cancela(const std::string& texto) {
    QByteArray directo;
    if (eventos::uidDirecto(texto, &directo) && !seCancela(directo)) return;
    const Componente e = eventos::analiza(texto);
    const char* u = e ? icalcomponent_get_uid(e.get()) : nullptr;
    if (!u || !seCancela(QByteArrayView(u))) return;
    const icalproperty_status estado = icalcomponent_get_status(e.get());
    const int secuencia = icalcomponent_get_sequence(e.get());
    // An event is sent on the day its UID names; one whose own dates do not say so (lost,
    // unreadable, another day) gets them from the UID, or a calendar could not place it.
    const QDate dia = uid::partes(QByteArrayView(u), sufijo_).dia;
    const icaltimetype inicio = icalcomponent_get_dtstart(e.get());
    const icaltimetype fin = icalcomponent_get_dtend(e.get());
    const bool fechas = !icaltime_is_null_time(inicio) && inicio.is_date &&
                        QDate(inicio.year, inicio.month, inicio.day) == dia &&
                        !icaltime_is_null_time(fin) && fin.is_date &&
                        QDate(fin.year, fin.month, fin.day) == dia.addDays(1);
    // Only an event libical read whole, stamped, is copied as it stands; anything else (lines
    // it could not read, events inside the event, no DTSTAMP) is sent as a cancellation made
    // anew, which carries nothing of what could not be read.
    const bool entero = icalcomponent_count_errors(e.get()) == 0 &&
                        !icalcomponent_get_first_component(e.get(), ICAL_ANY_COMPONENT) &&
                        !icaltime_is_null_time(icalcomponent_get_dtstamp(e.get()));
    std::string cancelado;
    if (entero && fechas && estado == ICAL_STATUS_CANCELLED && cortas(texto)) {
        salida_.agrega(texto.data(), qsizetype(texto.size()));
    } else if (entero && fechas && estado == ICAL_STATUS_CONFIRMED &&
               cancelaTexto(texto, secuencia, selloTexto_, &cancelado)) {
        salida_.agrega(cancelado.data(), qsizetype(cancelado.size()));
    } else {
        const Componente c = cancelacion(e.get(), u, dia, estado == ICAL_STATUS_CANCELLED, sello_);
        const TextoIcal t(icalcomponent_as_ical_string_r(c.get()));
        if (!t) return;
        salida_.agrega(t.get(), qsizetype(qstrlen(t.get())));
    }
    ++canceladas_;
}
