#pragma once

#include <QString>

// What every visit of one work order shares in the calendar.
struct OrdenCalendario {
    QString clave;        // the order's identity in the UIDs (id and maintenance code); any text
    QString numero;       // the order's number, as the user reads it
    QString resumen;      // the row label of the schedule
    QString lugar;        // the equipment's location and the customer
    QString descripcion;  // the order's comments
    QString tecnico;      // the technician's name; empty when the order has none
};
