#include "platform/ArchivoBloqueado.h"

#include <QDir>

#include "platform/ArchivoLegible.h"
#include "platform/Escritura.h"
#include "platform/Failure.h"
#include "platform/so/Archivos.h"

namespace platform {

ArchivoBloqueado::ArchivoBloqueado(const QString& ruta) : ruta_(ruta) {
    try {
        // Opened (created when missing) only when it is a regular file, never waiting on a pipe.
        archivo::abre(f_, ruta, archivo::Uso::LeerYEscribir, limite::kNinguno);
    } catch (const Failure& e) {
        // Told through error(): the caller gives up the write with that reason.
        error_ = e.info().description + QLatin1Char('.');
        return;
    }
    bloqueado_ = so::bloquea(f_.handle());
    if (!bloqueado_) {
        f_.close();
        error_ = QStringLiteral("No se pudo bloquear %1.").arg(QDir::toNativeSeparators(ruta));
    }
}

ArchivoBloqueado::~ArchivoBloqueado() {
    // Closing the file's descriptor releases its lock.
    f_.close();
}

bool ArchivoBloqueado::abierto() const {
    return bloqueado_;
}

bool ArchivoBloqueado::lee(QByteArray& contenido, qint64 maximo) {
    contenido.clear();
    if (f_.size() > maximo) {
        error_ = QStringLiteral("%1 es demasiado grande (más de %2 bytes).")
                     .arg(QDir::toNativeSeparators(ruta_))
                     .arg(maximo);
        return false;
    }
    if (!f_.seek(0)) {
        error_ = QStringLiteral("No se pudo leer %1.").arg(QDir::toNativeSeparators(ruta_));
        return false;
    }
    contenido = f_.read(maximo);
    return true;
}

bool ArchivoBloqueado::anade(const QByteArray& bytes) {
    f_.seek(f_.size());
    if (escritura::agregaEntero(f_, bytes)) return true;
    error_ = QStringLiteral("No se pudo escribir %1 (¿disco lleno?).")
                 .arg(QDir::toNativeSeparators(ruta_));
    return false;
}

}  // namespace platform
