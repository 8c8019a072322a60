#pragma once

#include <QString>

#include "platform/Variant.h"

// Settings of the suite's configuration table: main database (Cfg) and statistics database
// (CfgVL, GrabaCfgVL). A key without a row reads as one blank.
QString Cfg(const QString& clave, QString& auxiliar);
QString CfgVL(const QString& clave, QString& auxiliar);
void GrabaCfgVL(const QString& clave, const platform::Variant& valor, const QString& auxiliar,
                bool politica, const QString& grupo, bool recorta);
// Loads the suite-wide settings into the program-wide values; `carpeta` is the program folder.
void CargaConfiguracion(const QString& carpeta);
