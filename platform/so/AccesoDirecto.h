#pragma once

#include <string>

// A shortcut on the user's desktop that starts a program: a desktop entry (POSIX) or a shell
// link (Windows).
namespace so {

struct AccesoDirecto {
    std::string nombre;      // what the desktop shows
    std::string programa;    // the executable's full path
    std::string parametros;  // the parameter string it is started with, "" for none
    std::string icono;       // a desktop entry's icon file; a shell link shows the program's own
};

// The file that holds a shortcut called `nombre`: "nombre.desktop", "nombre.lnk".
std::string archivoDeAccesoDirecto(const std::string& nombre);

// Writes the shortcut into `ruta`, replacing what a regular file there held. False when it
// could not; what it wrote is then of no use.
bool escribeAccesoDirecto(const std::string& ruta, const AccesoDirecto& acceso);

}  // namespace so
