#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

// One event of a calendar file as libical reads it.
struct EventoIcs {
    QString uid;
    QDate dia;            // DTSTART
    QDate fin;            // DTEND
    QString estado;       // STATUS as written (CONFIRMED, CANCELLED...); empty without one
    int secuencia = 0;    // SEQUENCE
    QDateTime sello;      // DTSTAMP, in UTC
    QString resumen;      // SUMMARY
    QString lugar;        // LOCATION
    QString descripcion;  // DESCRIPTION
    QString categorias;   // every CATEGORIES value, joined by commas
    QString asistente;    // the first ATTENDEE's CN
    QString numero;       // X-CRONEQUIPO-OT
};

// Hands each VEVENT of `ruta` to `cadaUno` in file order, one parsed at a time. False with the
// reason when the file cannot be read or is not a VCALENDAR.
bool leeIcs(const QString& ruta, const std::function<void(const EventoIcs&)>& cadaUno,
            QString* error);

// What the head of a calendar written by an export says: its name and the range it covers.
struct CabeceraIcs {
    QString nombre;  // X-WR-CALNAME
    QDate desde;     // X-CRONEQUIPO-DESDE
    QDate hasta;     // X-CRONEQUIPO-HASTA
};

// False with the reason when the file cannot be read or is not a VCALENDAR; the fields that the
// head lacks stay empty.
bool leeCabeceraIcs(const QString& ruta, CabeceraIcs* cabecera, QString* error);
