#pragma once

#include <QStringList>
#include <optional>

#include "report/ParametrosCronograma.h"

// The schedule run without windows, from the command line: the same validation, generation and
// report launch as the printer command.
struct OpcionesLote {
    ParametrosCronograma parametros;
    QString pdf;
    QString xlsx;
    QString ics;              // one calendar of the visits
    QString icsPorTecnico;    // a folder: one calendar per technician
    QString lineaParametros;  // the suite's parameter string, from the other arguments
};

// Reads the options; a clear message in `error` when one cannot be read.
std::optional<OpcionesLote> leeOpcionesLote(const QStringList& argumentos, QString* error);

// Validation, generation and launch. 0 when the schedule was generated and the files written.
int ejecutaLote(const OpcionesLote& opciones);
