#pragma once

// The operating system's side of platform/ArchivoLegible: one file per side
// (ArchivoLegible_posix.cpp, ArchivoLegible_win.cpp), chosen by CMake.

#include <QString>

#include "platform/ArchivoLegible.h"

namespace platform::archivo::so {

// Why a path could not be opened, when it could not.
enum class Causa { Ninguna, NoExiste, SinPermiso, Otra };

struct Apertura {
    int descriptor = -1;  // a C run-time descriptor of a regular file, or -1
    ClaseDeArchivo clase = ClaseDeArchivo::Ninguna;  // what the path names, when that is known
    qint64 tamano = 0;
    Causa causa = Causa::Ninguna;
    int codigo = 0;  // the system's error number when the cause is Otra
};

// Looks at the path first and opens only a regular file, without ever waiting: the open itself
// does not wait for a partner, and what it opened is looked at again. A descriptor comes back
// in blocking mode; the caller owns it.
Apertura abre(const QString& ruta, Uso uso);

ClaseDeArchivo clase(const QString& ruta);

void cierra(int descriptor) noexcept;

}  // namespace platform::archivo::so
