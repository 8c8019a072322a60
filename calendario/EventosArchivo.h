#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <string>

#include "calendario/Ical.h"

// A calendar file read one VEVENT at a time: its lines between BEGIN:VEVENT and END:VEVENT are
// handed on as text for libical to parse alone, so that no file is ever one component tree.
namespace calendario::eventos {

// False with the reason when `ruta` cannot be read or does not start as a VCALENDAR. An event
// larger than a megabyte is no event of ours and is passed over.
bool recorre(const QString& ruta, const std::function<void(const std::string& texto)>& cadaUno,
             QString* error);

// The calendar's own properties (its lines before its first component) as a VCALENDAR of their
// own. False as `recorre`.
bool cabecera(const QString& ruta, std::string* texto, QString* error);

// The VEVENT that libical reads in `texto`; null when it reads none.
Componente analiza(const std::string& texto);

// The UID of an event's text found without parsing it (its line unfolded), when the event has a
// plain "UID:" line; false otherwise, and then only libical can tell.
bool uidDirecto(const std::string& texto, QByteArray* uid);

}  // namespace calendario::eventos
