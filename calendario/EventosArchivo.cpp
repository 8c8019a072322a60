#include "calendario/EventosArchivo.h"

#include "calendario/LineasArchivo.h"

namespace calendario::eventos {

namespace {

constexpr size_t kMayorEvento = 1 << 20;

// Most lines are of another length: they are told apart before any comparison.
bool es(QByteArrayView linea, QByteArrayView marca) {
    return linea.size() == marca.size() && linea.compare(marca, Qt::CaseInsensitive) == 0;
}

// The first line that is not blank, past a byte order mark.
bool empiezaCalendario(LineasArchivo& lineas) {
    QByteArrayView l;
    while (lineas.siguiente(&l)) {
        if (l.startsWith("\xEF\xBB\xBF")) l = l.sliced(3);
        if (l.trimmed().isEmpty()) continue;
        return es(l.trimmed(), "BEGIN:VCALENDAR");
    }
    return false;
}

// Opens `ruta` past its BEGIN:VCALENDAR line; false with the reason otherwise.
bool abreCalendario(LineasArchivo& lineas, const QString& ruta, QString* error) {
    if (!lineas.abre(ruta, error)) return false;
    if (empiezaCalendario(lineas)) return true;
    if (error)
        *error =
            lineas.fallo().isEmpty()
                ? QStringLiteral("%1 no es un calendario (falta BEGIN:VCALENDAR)").arg(ruta)
                : QStringLiteral("No se puede leer el calendario %1: %2").arg(ruta, lineas.fallo());
    return false;
}

bool leidoEntero(const LineasArchivo& lineas, const QString& ruta, QString* error) {
    if (lineas.fallo().isEmpty()) return true;
    if (error)
        *error = QStringLiteral("No se puede leer el calendario %1: %2").arg(ruta, lineas.fallo());
    return false;
}

}  // namespace

bool recorre(const QString& ruta, const std::function<void(const std::string& texto)>& cadaUno,
             QString* error) {
    LineasArchivo lineas;
    if (!abreCalendario(lineas, ruta, error)) return false;
    std::string evento;
    bool dentro = false;
    QByteArrayView l;
    while (lineas.siguiente(&l)) {
        if (es(l, "BEGIN:VEVENT")) {
            dentro = true;
            evento.clear();
        }
        if (!dentro) continue;
        evento.append(l.data(), size_t(l.size())).append("\r\n");
        if (evento.size() > kMayorEvento) {
            dentro = false;
            evento.clear();
        } else if (es(l, "END:VEVENT")) {
            dentro = false;
            cadaUno(evento);
        }
    }
    return leidoEntero(lineas, ruta, error);
}

bool cabecera(const QString& ruta, std::string* texto, QString* error) {
    LineasArchivo lineas;
    if (!abreCalendario(lineas, ruta, error)) return false;
    *texto = "BEGIN:VCALENDAR\r\n";
    QByteArrayView l;
    while (texto->size() < kMayorEvento && lineas.siguiente(&l) &&
           !(l.size() >= 6 && l.first(6).compare("BEGIN:", Qt::CaseInsensitive) == 0) &&
           !es(l, "END:VCALENDAR"))
        texto->append(l.data(), size_t(l.size())).append("\r\n");
    texto->append("END:VCALENDAR\r\n");
    return leidoEntero(lineas, ruta, error);
}

Componente analiza(const std::string& texto) {
    Componente c(icalparser_parse_string(texto.c_str()));
    if (c && icalcomponent_isa(c.get()) != ICAL_VEVENT_COMPONENT) c.reset();
    return c;
}

bool uidDirecto(const std::string& t, QByteArray* uid) {
    const QByteArrayView texto(t.data(), qsizetype(t.size()));
    qsizetype i = 0;
    while (i < texto.size()) {
        qsizetype fin = texto.indexOf("\r\n", i);
        if (fin < 0) fin = texto.size();
        const QByteArrayView linea(texto.constData() + i, fin - i);
        if (linea.size() > 4 && linea.first(4).compare("UID:", Qt::CaseInsensitive) == 0) {
            *uid = linea.sliced(4).toByteArray();
            // Folded: each following line that starts with a blank goes on without the blank.
            for (i = fin + 2; i < texto.size() && (texto[i] == ' ' || texto[i] == '\t');) {
                fin = texto.indexOf("\r\n", i);
                if (fin < 0) fin = texto.size();
                uid->append(texto.constData() + i + 1, fin - i - 1);
                i = fin + 2;
            }
            return true;
        }
        if (linea.size() >= 4 && linea.first(4).compare("UID;", Qt::CaseInsensitive) == 0)
            return false;
        i = fin + 2;
    }
    return false;
}

}  // namespace calendario::eventos
