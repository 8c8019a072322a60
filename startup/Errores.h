#pragma once

#include <QString>
#include <optional>

#include "platform/Failure.h"

// The error prompt of the global routines; the answer (1..7) decides the caller's reaction, 0
// when the error object holds no error. Never raises.
qint16 ReportaError(const platform::ErrorInfo& error, std::optional<qint32> botones = std::nullopt,
                    std::optional<QString> rutina = std::nullopt);

// Stores a failed script as a row of AUX_ERR; an empty process name becomes the program's.
void RegistraErrorSQL(const QString& script, QString& proceso, qint32 numero,
                      const QString& descripcion);

// A key of a settings file of the program folder (KV300mn.INI). A file that is there but cannot
// be read gives `porDefecto`, as a missing one does, and the reason is told once in VLERR.LOG:
// the settings the program goes on with are not the user's.
QString LeeIni(const QString& archivo, const QString& seccion, const QString& clave,
               const QString& porDefecto);

// The reporter of the global routines for the failure-convention helper.
inline int reporterGlobal(const QString& rutina, const platform::ErrorInfo& e) {
    return ReportaError(e, std::nullopt, rutina);
}
