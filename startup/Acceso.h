#pragma once

#include <QString>

// One access-log row per start, with the task under which the user's menu lists the program.
void RegistraAcceso(const QString& programa);
// Starts another program of the suite with the connection in the suite's parameter string.
void MenuExes(const QString& programa, QString& parametroAdicional, qint64& tarea);
// Writes the suite's quick lookups into "consultas.vln", whole or not at all.
void CreaConsultasRapidas();
// Whether "consultas.vln" must be made: missing, empty or cut short (a regular file whose length
// is not whole records). Something else in its place is never replaced.
bool FaltanConsultasRapidas(const QString& ruta);
// The length of one record of "consultas.vln".
constexpr int kLargoConsulta = 1202;
