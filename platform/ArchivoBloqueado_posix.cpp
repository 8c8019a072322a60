#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "platform/ArchivoBloqueado.h"
#include "platform/Escritura.h"

namespace platform {

struct ArchivoBloqueado::Estado {
    int fd = -1;
};

namespace {
QString mostrado(const QString& ruta) {
    return QDir::toNativeSeparators(ruta);
}
}  // namespace

ArchivoBloqueado::ArchivoBloqueado(const QString& ruta)
    : estado_(std::make_unique<Estado>()), ruta_(ruta) {
    // Never blocks on a pipe: it is opened without waiting and refused for what it is.
    const int fd = ::open(QFile::encodeName(ruta).constData(),
                          O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = QStringLiteral("No se pudo abrir %1.").arg(mostrado(ruta));
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error_ = QStringLiteral("%1 no es un archivo común y no se escribe.").arg(mostrado(ruta));
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int r = 0;
    do {
        r = ::flock(fd, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        ::close(fd);
        error_ = QStringLiteral("No se pudo bloquear %1.").arg(mostrado(ruta));
        return;
    }
    estado_->fd = fd;
}

ArchivoBloqueado::~ArchivoBloqueado() {
    // Closing the last descriptor of the file releases its lock.
    if (estado_->fd >= 0) ::close(estado_->fd);
}

bool ArchivoBloqueado::abierto() const {
    return estado_->fd >= 0;
}

bool ArchivoBloqueado::lee(QByteArray& contenido, qint64 maximo) {
    contenido.clear();
    struct stat st {};
    if (::fstat(estado_->fd, &st) != 0) {
        error_ = QStringLiteral("No se pudo leer %1.").arg(mostrado(ruta_));
        return false;
    }
    if (st.st_size > maximo) {
        error_ = QStringLiteral("%1 es demasiado grande (más de %2 bytes).")
                     .arg(mostrado(ruta_))
                     .arg(maximo);
        return false;
    }
    contenido.resize(static_cast<qsizetype>(st.st_size));
    qint64 leidos = 0;
    while (leidos < st.st_size) {
        const ssize_t n = ::pread(estado_->fd, contenido.data() + leidos,
                                  static_cast<size_t>(st.st_size - leidos), leidos);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        leidos += n;
    }
    contenido.resize(static_cast<qsizetype>(leidos));
    return true;
}

bool ArchivoBloqueado::anade(const QByteArray& bytes) {
    const off_t antes = ::lseek(estado_->fd, 0, SEEK_END);
    if (antes < 0) {
        error_ = QStringLiteral("No se pudo escribir %1.").arg(mostrado(ruta_));
        return false;
    }
    // As much as the disk takes (a test switch may say it is full).
    const qint64 dados = escritura::permitido(bytes.size());
    qint64 escritos = 0;
    while (escritos < dados) {
        const ssize_t n = ::write(estado_->fd, bytes.constData() + escritos,
                                  static_cast<size_t>(dados - escritos));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        escritos += n;
    }
    if (escritos == bytes.size() && ::fsync(estado_->fd) == 0) return true;
    // Nothing of a failed append stays: the next line would be glued to it.
    if (::ftruncate(estado_->fd, antes) != 0) {
        // The cut itself failed: the reason below still tells the user.
    }
    error_ = QStringLiteral("No se pudo escribir %1 (¿disco lleno?).").arg(mostrado(ruta_));
    return false;
}

}  // namespace platform
