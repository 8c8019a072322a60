// clang-format off: the system's headers below need its types first.
#include <windows.h>
// clang-format on
#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/so/Archivos.h"
#include "platform/so/Manejador_win.h"
#include "platform/so/Texto_win.h"

namespace so {

namespace {

// Readers and writers of the suite let each other in, and let a file be replaced under them.
constexpr DWORD kCompartido = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

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

struct Modo {
    DWORD acceso = GENERIC_READ;
    DWORD disposicion = OPEN_EXISTING;
    int banderas = _O_RDONLY;
};

Modo modoDe(Uso uso) {
    switch (uso) {
        case Uso::Leer:
            return {};
        case Uso::LeerYEscribir:
            return {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, _O_RDWR};
        case Uso::Escribir:
            // Emptied once it is known to be a file.
            return {GENERIC_WRITE, OPEN_ALWAYS, _O_WRONLY};
        case Uso::Agregar:
            return {FILE_APPEND_DATA | SYNCHRONIZE | FILE_READ_ATTRIBUTES, OPEN_ALWAYS,
                    _O_WRONLY | _O_APPEND};
    }
    return {};
}

// Sent to the disk before the file takes its new name.
bool vuelcaADisco(const std::wstring& ruta) {
    const Manejador h(CreateFileW(ruta.c_str(), GENERIC_WRITE, kCompartido, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return h && FlushFileBuffers(h.get());
}

// Since Windows 10 (NTFS), a rename may replace a file held open by handles that share its
// deletion: their holders go on with the old content, and the name never goes missing.
bool reemplazaComoPosix(const std::wstring& desde, const std::wstring& hacia) {
    // FILE_RENAME_INFO with its flags, which older headers lack.
    struct Renombre {
        DWORD banderas;
        HANDLE carpeta;
        DWORD bytesDelNombre;
        WCHAR nombre[1];
    };
    constexpr auto kRenombreEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);  // FileRenameInfoEx
    constexpr DWORD kReemplaza = 0x1, kPosix = 0x2;
    wchar_t completa[MAX_PATH * 4];
    const DWORD largo = GetFullPathNameW(hacia.c_str(), MAX_PATH * 4, completa, nullptr);
    if (largo == 0 || largo >= MAX_PATH * 4) return false;
    const Manejador h(CreateFileW(desde.c_str(), DELETE | SYNCHRONIZE, kCompartido, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    std::vector<unsigned char> datos(sizeof(Renombre) + largo * sizeof(WCHAR));
    auto* r = reinterpret_cast<Renombre*>(datos.data());
    r->banderas = kReemplaza | kPosix;
    r->carpeta = nullptr;
    r->bytesDelNombre = largo * sizeof(WCHAR);
    std::memcpy(r->nombre, completa, (largo + 1) * sizeof(WCHAR));
    return SetFileInformationByHandle(h.get(), kRenombreEx, r, static_cast<DWORD>(datos.size()));
}

// Elsewhere nothing takes the name of a file held open, but the held file itself may be renamed
// (its holders share its deletion): it goes aside, the new one takes its name, and the old one
// is deleted, to go when its last holder closes it. For that moment the name is missing.
bool reemplazaApartando(const std::wstring& desde, const std::wstring& hacia) {
    const std::wstring aparte = hacia + L".reemplazado-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(GetTickCount64());
    if (!MoveFileExW(hacia.c_str(), aparte.c_str(), MOVEFILE_WRITE_THROUGH)) return false;
    if (!MoveFileExW(desde.c_str(), hacia.c_str(), MOVEFILE_WRITE_THROUGH)) {
        MoveFileExW(aparte.c_str(), hacia.c_str(), MOVEFILE_WRITE_THROUGH);
        return false;
    }
    DeleteFileW(aparte.c_str());
    return true;
}

}  // namespace

Apertura abre(const std::string& ruta, Uso uso) {
    const std::wstring nombre = rutaAncha(ruta);
    // A folder is refused before anything is opened.
    const DWORD atributos = GetFileAttributesW(nombre.c_str());
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY)) {
        Apertura a;
        a.clase = ClaseDeArchivo::Carpeta;
        return a;
    }
    const Modo modo = modoDe(uso);
    // Opening a pipe never waits: without a free instance it fails with ERROR_PIPE_BUSY.
    const HANDLE h = CreateFileW(nombre.c_str(), modo.acceso, kCompartido, nullptr,
                                 modo.disposicion, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fallo(GetLastError());
    Manejador propio(h);
    const ClaseDeArchivo c = claseDe(h);
    if (c != ClaseDeArchivo::Comun) {
        Apertura a;
        a.clase = c;
        return a;
    }
    if (uso == Uso::Escribir && !SetEndOfFile(h)) return fallo(GetLastError());
    LARGE_INTEGER tamano{};
    if (!GetFileSizeEx(h, &tamano)) return fallo(GetLastError());
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), modo.banderas | _O_BINARY);
    if (fd < 0) return fallo(ERROR_TOO_MANY_OPEN_FILES);
    propio.suelta();  // the descriptor owns it from here on
    Apertura a;
    a.descriptor = fd;
    a.clase = ClaseDeArchivo::Comun;
    a.tamano = static_cast<std::int64_t>(tamano.QuadPart);
    return a;
}

ClaseDeArchivo clase(const std::string& ruta) {
    const std::wstring nombre = rutaAncha(ruta);
    const DWORD atributos = GetFileAttributesW(nombre.c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES) return ClaseDeArchivo::Ninguna;
    if (atributos & FILE_ATTRIBUTE_DIRECTORY) return ClaseDeArchivo::Carpeta;
    // Asked with access to its attributes only: nothing of it is read.
    const Manejador h(CreateFileW(nombre.c_str(), FILE_READ_ATTRIBUTES, kCompartido, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return ClaseDeArchivo::Comun;
    return claseDe(h.get());
}

void cierra(int descriptor) noexcept {
    if (descriptor >= 0) _close(descriptor);
}

bool bloquea(int descriptor) {
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (h == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED ov{};  // the lock covers the whole file from its start
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &ov) != 0;
}

bool reemplaza(const std::string& desde, const std::string& hacia) {
    const std::wstring de = rutaAncha(desde);
    const std::wstring a = rutaAncha(hacia);
    if (!vuelcaADisco(de)) return false;
    if (MoveFileExW(de.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    // Refused when the target is held open, even by handles that share its deletion.
    if (GetLastError() != ERROR_ACCESS_DENIED) return false;
    const DWORD atributos = GetFileAttributesW(a.c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES || (atributos & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return reemplazaComoPosix(de, a) || reemplazaApartando(de, a);
}

bool estaAbierto(const std::string& ruta) {
    // Windows keeps no list of a process's files that a program may read. What it does tell is
    // whether the file may be opened by nobody else: an exclusive open fails with a sharing
    // violation while any handle on its data is open, in this process (its database) or another.
    const Manejador h(CreateFileW(rutaAncha(ruta).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return !h && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace so
