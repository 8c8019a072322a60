#pragma once

#include <QString>

#include "platform/Failure.h"

// The error prompts of the suite share the text of the message, the word for each answer and
// the layout of a line of "VLERR.LOG".
namespace errorlog {

// "Ha ocurrido el Siguiente Error (n) description"
QString message(const platform::ErrorInfo& e);
// "Reintentar", "Ignorar", "Abortar", "Cancelar", "Sí", "No" or "".
QString answerWord(int answer);
// Date and time, routine part, message and answer word, as the suite's log lines read.
QString line(const QString& routinePart, const QString& message, int answer);
// "VLERR.LOG" of the temporary folder (temp, TEMP, tmp, TMP, else the machine's), where the
// global routines and the connection dialog log.
QString rutaEnTemporal();
// Appends the line (Windows-1252, CR LF); a log that cannot be written loses it silently.
void append(const QString& path, const QString& line) noexcept;
// Tells the log of the temporary folder, once in the process for each `clave`, what was found
// wrong and passed over (no answer), so that it is not told again at every reading.
void avisaUnaVez(const QString& clave, const QString& routinePart, const QString& message);

}  // namespace errorlog
