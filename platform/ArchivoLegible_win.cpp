#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <QDir>
#include <string>

#include "platform/ArchivoLegible_so.h"

namespace platform::archivo::so {

namespace {

std::wstring nombreDe(const QString& ruta) {
    return QDir::toNativeSeparators(ruta).toStdWString();
}

ClaseDeArchivo claseDe(HANDLE h) {
    switch (GetFileType(h)) {
        case FILE_TYPE_DISK:
            return ClaseDeArchivo::Comun;
        case FILE_TYPE_PIPE:
            return ClaseDeArchivo::Tuberia;
        case FILE_TYPE_CHAR:
            return ClaseDeArchivo::Dispositivo;
        default:
            return ClaseDeArchivo::Otra;
    }
}

Apertura fallo(DWORD codigo) {
    Apertura a;
    switch (codigo) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            a.causa = Causa::NoExiste;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            a.causa = Causa::SinPermiso;
            break;
        case ERROR_PIPE_BUSY:
            a.clase = ClaseDeArchivo::Tuberia;
            break;
        default:
            a.causa = Causa::Otra;
            a.codigo = static_cast<int>(codigo);
            break;
    }
    return a;
}

}  // namespace

Apertura abre(const QString& ruta, Uso uso) {
    const std::wstring nombre = nombreDe(ruta);
    // A folder is refused before anything is opened.
    const DWORD atributos = GetFileAttributesW(nombre.c_str());
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY)) {
        Apertura a;
        a.clase = ClaseDeArchivo::Carpeta;
        return a;
    }
    DWORD acceso = GENERIC_READ;
    DWORD disposicion = OPEN_EXISTING;
    int modo = _O_RDONLY;
    switch (uso) {
        case Uso::Leer:
            break;
        case Uso::LeerYEscribir:
            acceso = GENERIC_READ | GENERIC_WRITE;
            disposicion = OPEN_ALWAYS;
            modo = _O_RDWR;
            break;
        case Uso::Escribir:
            acceso = GENERIC_WRITE;
            disposicion = OPEN_ALWAYS;  // emptied below, once it is known to be a file
            modo = _O_WRONLY;
            break;
        case Uso::Agregar:
            acceso = FILE_APPEND_DATA | SYNCHRONIZE | FILE_READ_ATTRIBUTES;
            disposicion = OPEN_ALWAYS;
            modo = _O_WRONLY | _O_APPEND;
            break;
    }
    // Opening a pipe never waits: without a free instance it fails with ERROR_PIPE_BUSY.
    const HANDLE h =
        CreateFileW(nombre.c_str(), acceso, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, disposicion, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fallo(GetLastError());
    const ClaseDeArchivo c = claseDe(h);
    if (c != ClaseDeArchivo::Comun) {
        CloseHandle(h);
        Apertura a;
        a.clase = c;
        return a;
    }
    if (uso == Uso::Escribir && !SetEndOfFile(h)) {
        const DWORD codigo = GetLastError();
        CloseHandle(h);
        return fallo(codigo);
    }
    LARGE_INTEGER tamano{};
    if (!GetFileSizeEx(h, &tamano)) {
        const DWORD codigo = GetLastError();
        CloseHandle(h);
        return fallo(codigo);
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), modo | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return fallo(ERROR_TOO_MANY_OPEN_FILES);
    }
    Apertura a;
    a.descriptor = fd;
    a.clase = ClaseDeArchivo::Comun;
    a.tamano = static_cast<qint64>(tamano.QuadPart);
    return a;
}

ClaseDeArchivo clase(const QString& ruta) {
    const std::wstring nombre = nombreDe(ruta);
    const DWORD atributos = GetFileAttributesW(nombre.c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) return ClaseDeArchivo::Ninguna;
    if (atributos & FILE_ATTRIBUTE_DIRECTORY) return ClaseDeArchivo::Carpeta;
    // Asked with access to its attributes only: nothing of it is read.
    const HANDLE h = CreateFileW(nombre.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ClaseDeArchivo::Comun;
    const ClaseDeArchivo c = claseDe(h);
    CloseHandle(h);
    return c;
}

void cierra(int descriptor) noexcept {
    if (descriptor >= 0) _close(descriptor);
}

}  // namespace platform::archivo::so
