#pragma once

#include <QString>

// What every visit of one work order shares in the calendar.
struct OrdenCalendario {
    QString clave;        // the order's identity in the UIDs (id and maintenance code); any text
    QString numero;       // the order's number, as the user reads it
    QString resumen;      // the row label of the schedule
    QString lugar;        // the equipment's location and the customer
    QString descripcion;  // the order's comments; the number is added at their end
    // The technician's name, empty when the order has none: the event's CATEGORIES (a list, so
    // that a comma in the name parts it there for every reader) and the CN of its ATTENDEE.
    QString tecnico;
};
