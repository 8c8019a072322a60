#pragma once

#include <QString>

#include "platform/Failure.h"

// The end of the failure chain for what no routine traps: a failure that escapes an event
// handler, a slot or a window's load is shown through ReportaError with an OK button (there is
// nothing left to repeat) and logged; the program goes on.
void ReportaUltimoRecurso(const platform::ErrorInfo& error, const QString& donde);

// Makes ReportaUltimoRecurso the reporter of the application's guard.
void InstalaUltimoRecurso();
