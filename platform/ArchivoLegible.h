#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <limits>

#include "platform/Failure.h"
#include "platform/so/Archivos.h"

namespace platform {

// What a path names.
using ClaseDeArchivo = so::ClaseDeArchivo;

// The size beyond which a file of each kind is refused unread: far above any real one, low
// enough that a wrong file (a device, a log renamed by mistake) never costs the program its
// memory or its minutes.
namespace limite {
// Settings and lists: KV300mn.INI, BASES.TXT, CONSULTASLEN.VLN, consultas.vln, a style's
// settings file, the lines a lookup shows.
constexpr qint64 kAjustes = qint64(1) << 20;
// Report templates and pictures.
constexpr qint64 kFormatos = qint64(16) << 20;
// Style sheets: the time to the main window grows with the sheet (0.6 s at 1 MB, 11 s and
// 880 MB at 10 MB); the program's own are 3 KB.
constexpr qint64 kEstilos = qint64(1) << 20;
// What is only written or appended to (the error logs): nothing of it is read.
constexpr qint64 kNinguno = std::numeric_limits<qint64>::max();
}  // namespace limite

// Every file the program reads (or appends to) is opened here. What is not a regular file (a
// folder, a FIFO, a device, a socket) is refused before it is opened, and opened without waiting
// in case one takes its place meanwhile, so that a FIFO never blocks the program; a file larger
// than its kind's bound is refused unread. Failures are raised with the file's name and the
// cause: 53 missing, 76 its folder missing, 70 no permission, 75 a folder, not a regular file,
// too large or any other refusal of the system.
namespace archivo {

using Uso = so::Uso;

// Opens `ruta` for `uso` into `f` (on the file's descriptor: Qt then forgets its name); its
// size, when it is opened, is within `limite`.
void abre(QFile& f, const QString& ruta, Uso uso, qint64 limite);

// The whole file, no larger than `limite` (also when it grows while it is read).
QByteArray lee(const QString& ruta, qint64 limite);

// True when the file can be opened for reading (it is a regular file and the system lets it).
bool legible(const QString& ruta);

// Why `ruta` could not be read, found without opening it; number 0 when nothing stands in the
// way. For a database's file, which must not be opened beside the engine: closing any descriptor
// of a file lets go of every lock the process holds on it.
ErrorInfo examina(const QString& ruta, qint64 limite);

// What `ruta` names now, without opening it; Ninguna when nothing (or nothing reachable) does.
ClaseDeArchivo clase(const QString& ruta);

// What a file that is not a regular one is, for a message: " (es una tubería)", "" when unnamed.
QString queEs(ClaseDeArchivo clase);

}  // namespace archivo
}  // namespace platform
