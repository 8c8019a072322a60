#pragma once

#include <QString>

// One access-log row per start, with the task under which the user's menu lists the program.
void RegistraAcceso(const QString& programa);
// Starts another program of the suite with the connection in the suite's parameter string.
void MenuExes(const QString& programa, QString& parametroAdicional, qint64& tarea);
// Writes the quick-lookup definitions at the end of "consultas.vln".
void CreaConsultasRapidas();
