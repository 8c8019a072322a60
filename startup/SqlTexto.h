#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "startup/globals/Globals.h"

// Date patterns of the platform's formatter: "/" stands for the date separator, ":" for the time
// separator; "mm" after "hh" is minutes.
QString FormatoFechaHora();  // "dd/mm/yy hh:mm"
QString FormatoFecha();      // "dd/mm/yy"
QString FormatoHora();       // "hh:mm"
QString Formato(const QDateTime& when, const QString& pattern);

void AgregaCampo(const QString& campo, QString& valor, const QString& tipo, bool nuevo);
void ArmaSentencia(std::vector<CampoValor>& campos, QStringList& sentencias, const QString& tabla,
                   bool actualiza, QString& where, bool conserva);
void GActualizarDatoScript(const QStringList& sentencias, bool& fallo, qint32& numero,
                           bool ignoraDuplicado, bool ignoraForanea, QString& ejecutado,
                           QString& mensaje, bool muestra);
QString AdaptaSQL(const QString& sentencia);
bool ExisteArchivo(const QString& ruta);
