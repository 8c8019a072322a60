#pragma once

#include <cstdint>
#include <string>

// The operating system's side of the program's files. A path is UTF-8 text; either separator
// serves on Windows.
namespace so {

// What a path names.
enum class ClaseDeArchivo { Ninguna, Comun, Carpeta, Tuberia, Dispositivo, Socket, Otra };

enum class Uso {
    Leer,           // the file must exist
    LeerYEscribir,  // created when missing
    Escribir,       // created when missing, emptied otherwise
    Agregar,        // created when missing; every write goes to its end
};

// Why a path could not be opened, when it could not.
enum class Causa { Ninguna, NoExiste, SinPermiso, Otra };

struct Apertura {
    int descriptor = -1;  // a C run-time descriptor of a regular file, or -1
    ClaseDeArchivo clase = ClaseDeArchivo::Ninguna;  // what the path names, when that is known
    std::int64_t tamano = 0;
    Causa causa = Causa::Ninguna;
    int codigo = 0;  // the system's error number when the cause is Otra
};

// Looks at the path first and opens only a regular file, without ever waiting: the open itself
// does not wait for a partner, and what it opened is looked at again. Other processes may read,
// write, rename and delete the file meanwhile (Windows: every sharing mode). A descriptor comes
// back in blocking mode; the caller owns it.
Apertura abre(const std::string& ruta, Uso uso);

// What `ruta` names now, without opening it.
ClaseDeArchivo clase(const std::string& ruta);

void cierra(int descriptor) noexcept;

// An exclusive lock on the open file's descriptor, waited for; released when it is closed.
bool bloquea(int descriptor);

// Puts `desde` in the place of `hacia` in one step, replacing it where it exists, also while a
// reader holds it open (Windows: a reader that shares deletion, as `abre` does; the reader goes
// on reading the old content). What `desde` holds reaches the disk before its new name does, so
// that after a crash `hacia` is the old file or the new one whole. Both in one folder. False
// when it could not; `desde` is then left where it was.
bool reemplaza(const std::string& desde, const std::string& hacia);

// Whether `ruta` is held open, so that a write over it would pull it from under its user.
// POSIX: by this process (one of its descriptors is on the same file; false where /proc is
// missing). Windows: by any process, this one included (an exclusive open is refused).
bool estaAbierto(const std::string& ruta);

}  // namespace so
