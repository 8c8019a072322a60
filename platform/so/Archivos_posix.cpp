#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "platform/so/Archivos.h"
#include "platform/so/Descriptor_posix.h"

namespace so {

namespace {

ClaseDeArchivo claseDe(mode_t modo) {
    if (S_ISREG(modo)) return ClaseDeArchivo::Comun;
    if (S_ISDIR(modo)) return ClaseDeArchivo::Carpeta;
    if (S_ISFIFO(modo)) return ClaseDeArchivo::Tuberia;
    if (S_ISCHR(modo) || S_ISBLK(modo)) return ClaseDeArchivo::Dispositivo;
    if (S_ISSOCK(modo)) return ClaseDeArchivo::Socket;
    return ClaseDeArchivo::Otra;
}

Apertura fallo(int codigo) {
    Apertura a;
    switch (codigo) {
        case ENOENT:
        case ENOTDIR:
            a.causa = Causa::NoExiste;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            a.causa = Causa::SinPermiso;
            break;
        case EISDIR:
            a.clase = ClaseDeArchivo::Carpeta;
            break;
        case ENXIO:
            // A FIFO without a reader, opened for writing without waiting for one.
            a.clase = ClaseDeArchivo::Tuberia;
            break;
        default:
            a.causa = Causa::Otra;
            a.codigo = codigo;
            break;
    }
    return a;
}

int banderas(Uso uso) {
    // Without waiting: a FIFO that took the file's place since it was looked at neither blocks
    // the open nor, once refused, anything else.
    const int siempre = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (uso) {
        case Uso::Leer:
            return siempre | O_RDONLY;
        case Uso::LeerYEscribir:
            return siempre | O_RDWR | O_CREAT;
        case Uso::Escribir:
            return siempre | O_WRONLY | O_CREAT | O_TRUNC;
        case Uso::Agregar:
            return siempre | O_WRONLY | O_CREAT | O_APPEND;
    }
    return siempre | O_RDONLY;
}

int abreSinSenales(const char* nombre, int banderas, mode_t modo = 0) {
    int fd = -1;
    do {
        fd = ::open(nombre, banderas, modo);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

std::string carpetaDe(const std::string& ruta) {
    const auto barra = ruta.find_last_of('/');
    if (barra == std::string::npos) return ".";
    return barra == 0 ? "/" : ruta.substr(0, barra);
}

}  // namespace

Apertura abre(const std::string& ruta, Uso uso) {
    struct stat st {};
    // Looked at before it is opened: opening some devices does something of its own.
    if (::stat(ruta.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            Apertura a;
            a.clase = claseDe(st.st_mode);
            return a;
        }
    } else if (errno != ENOENT || uso == Uso::Leer) {
        return fallo(errno);
    }
    Descriptor d(abreSinSenales(ruta.c_str(), banderas(uso), 0666));
    if (!d.valido()) return fallo(errno);
    if (::fstat(d.fd(), &st) != 0) return fallo(errno);
    if (!S_ISREG(st.st_mode)) {
        Apertura a;
        a.clase = claseDe(st.st_mode);
        return a;
    }
    // A regular file: read and written as any other from here on.
    const int estado = ::fcntl(d.fd(), F_GETFL);
    if (estado != -1) ::fcntl(d.fd(), F_SETFL, estado & ~O_NONBLOCK);
    Apertura a;
    a.clase = ClaseDeArchivo::Comun;
    a.tamano = static_cast<std::int64_t>(st.st_size);
    a.descriptor = d.suelta();
    return a;
}

ClaseDeArchivo clase(const std::string& ruta) {
    struct stat st {};
    if (::stat(ruta.c_str(), &st) != 0) return ClaseDeArchivo::Ninguna;
    return claseDe(st.st_mode);
}

void cierra(int descriptor) noexcept {
    if (descriptor >= 0) ::close(descriptor);
}

bool bloquea(int descriptor) {
    int r = 0;
    do {
        r = ::flock(descriptor, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

bool reemplaza(const std::string& desde, const std::string& hacia) {
    {
        // Opened for reading only: the new file may already carry the target's read-only
        // permissions, and fsync needs no more.
        const Descriptor nuevo(abreSinSenales(desde.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (!nuevo.valido() || ::fsync(nuevo.fd()) != 0) return false;
    }
    // A rename within one folder replaces the target at once, whoever holds it open.
    if (std::rename(desde.c_str(), hacia.c_str()) != 0) return false;
    // The new name itself reaches the disk with its folder.
    const Descriptor carpeta(
        abreSinSenales(carpetaDe(hacia).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (carpeta.valido()) ::fsync(carpeta.fd());
    return true;
}

bool estaAbierto(const std::string& ruta) {
    struct stat buscado {};
    if (::stat(ruta.c_str(), &buscado) != 0) return false;  // not there: nobody has it open
    // Every descriptor of the process is an entry of /proc/self/fd that stands for what it is
    // open on: the same device and inode is the same file, under whatever name or link.
    const std::unique_ptr<DIR, int (*)(DIR*)> fds(::opendir("/proc/self/fd"), ::closedir);
    if (!fds) return false;
    const int propio = ::dirfd(fds.get());
    while (const dirent* e = ::readdir(fds.get())) {
        if (e->d_name[0] == '.') continue;
        struct stat st {};
        if (::fstatat(propio, e->d_name, &st, 0) != 0) continue;
        if (st.st_dev == buscado.st_dev && st.st_ino == buscado.st_ino) return true;
    }
    return false;
}

}  // namespace so
