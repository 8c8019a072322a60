#pragma once

#include <QString>

// The start of the program: parameters, connections, configuration and access log.
void IniciaSesion(bool UsaArchivoPC, const QString& ParametrosRecibidos, QString& CadenaConexion,
                  qint32 TipoCursor);
// The bare server name of a server address ("tcp/SRV01:1433" gives "SRV01").
QString LimpiaServidor(const QString& servidor);
// Opens the statistics connection and reads the command time-out from it.
void AbreEstadisticas();
// The value of one entry of the parameter string ("@Caja", ...), as the start-up reads it.
QString ValorParametro(const QString& linea, const QString& clave, const QString& porDefecto,
                       bool hastaElFinal);
