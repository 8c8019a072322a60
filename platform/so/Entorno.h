#pragma once

#include <string>

// The user's machine and session, as the operating system names them. Folders come back without
// a trailing separator, in the system's own spelling.
namespace so {

// Where the user's desktop shows files. POSIX: XDG_DESKTOP_DIR of the user's user-dirs.dirs,
// else ~/Desktop; Windows: the shell's desktop folder.
std::string carpetaEscritorio();

// POSIX: TMPDIR, else /tmp; Windows: TMP, TEMP or USERPROFILE as the system chooses.
std::string carpetaTemporal();

// The machine's name (Windows: its short name), "" when the system gives none.
std::string nombreEquipo();

// The name the user logged in with, "" when the system gives none.
std::string nombreUsuario();

// POSIX: Qt wants a private runtime folder, and a bare shell (CI, cron) names none; one of the
// user's own is made under /tmp and named in XDG_RUNTIME_DIR. Nothing on Windows.
void preparaCarpetaDeEjecucion();

// POSIX: the ODBC driver manager converts wide text for narrow drivers in the C library's
// character set; without a UTF-8 one, accents reach the database as other bytes. Makes LC_CTYPE
// one that is. Nothing on Windows, where every call to the driver manager is a wide one.
void aseguraCaracteresUtf8();

}  // namespace so
