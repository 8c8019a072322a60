#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "platform/Variant.h"
#include "report/ParametrosCronograma.h"
#include "report/Repeticiones.h"

class DB_Dll;

// One work order of the schedule's query, read before anything is written: a connection to a
// server cannot write while it still hands out rows.
struct OrdenCronograma {
    platform::Variant codigo, descripcion, nombre, ubicacion, tecnico, comentarios, fechaInicio,
        frecuencia, cada, total, idComprobante, codigoMant, numero;
};

// A date of the parameters as the user typed it; the type-mismatch error (13) naming the field
// when it cannot be read.
QDate leeFechaCronograma(const QString& texto, const char* campo);

// The work orders of the schedule: the suite's query with the dates as read, in the full
// short-date form, so that a two-digit year means the same to every engine. `conNumero` also
// reads each order's number (the calendar's); the rows are the same either way, the number
// being the document's own.
std::vector<OrdenCronograma> leeOrdenesCronograma(DB_Dll& db, const ParametrosCronograma& p,
                                                  const QDate& desde, const QDate& hasta,
                                                  bool conNumero = false);

// The repetitions of a work order between the dates, by the rules of its plan; a missing value
// the plan needs raises invalid use of null (94) naming the order.
Repeticiones repeticionesDe(const OrdenCronograma& o, const QDate& desde, const QDate& hasta);

// The row label of the first column, from the ticked boxes, at most 100 characters.
QString rotuloCronograma(const ParametrosCronograma& p, const OrdenCronograma& o);

// A value as text, a null as empty text.
QString textoDe(const platform::Variant& v);
