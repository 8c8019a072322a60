#include "startup/UltimoRecurso.h"

#include "platform/Prompt.h"
#include "startup/Errores.h"
#include "widgets/GuardedApplication.h"

void ReportaUltimoRecurso(const platform::ErrorInfo& error, const QString& donde) {
    ReportaError(error, platform::mb::OkOnly | platform::mb::Critical, donde);
}

void InstalaUltimoRecurso() {
    platform::GuardedApplication::setLastResort(&ReportaUltimoRecurso);
}
