#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "platform/ArchivoLegible_so.h"

namespace platform::archivo::so {

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

}  // namespace

Apertura abre(const QString& ruta, Uso uso) {
    const QByteArray nombre = QFile::encodeName(ruta);
    struct stat st {};
    // Looked at before it is opened: opening some devices does something of its own.
    if (::stat(nombre.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            Apertura a;
            a.clase = claseDe(st.st_mode);
            return a;
        }
    } else if (errno != ENOENT || uso == Uso::Leer) {
        return fallo(errno);
    }
    int fd = -1;
    do {
        fd = ::open(nombre.constData(), banderas(uso), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return fallo(errno);
    if (::fstat(fd, &st) != 0) {
        const int codigo = errno;
        ::close(fd);
        return fallo(codigo);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        Apertura a;
        a.clase = claseDe(st.st_mode);
        return a;
    }
    // A regular file: read and written as any other from here on.
    const int estado = ::fcntl(fd, F_GETFL);
    if (estado != -1) ::fcntl(fd, F_SETFL, estado & ~O_NONBLOCK);
    Apertura a;
    a.descriptor = fd;
    a.clase = ClaseDeArchivo::Comun;
    a.tamano = static_cast<qint64>(st.st_size);
    return a;
}

ClaseDeArchivo clase(const QString& ruta) {
    struct stat st {};
    if (::stat(QFile::encodeName(ruta).constData(), &st) != 0) return ClaseDeArchivo::Ninguna;
    return claseDe(st.st_mode);
}

void cierra(int descriptor) noexcept {
    if (descriptor >= 0) ::close(descriptor);
}

}  // namespace platform::archivo::so
