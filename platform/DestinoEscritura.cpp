#include "platform/DestinoEscritura.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

std::optional<QString> porQueNoSeEscribe(const QString& destino) {
    const QFileInfo info(destino);
    const QString shown = QDir::toNativeSeparators(destino);
    if (info.isDir()) return QStringLiteral("%1 es una carpeta").arg(shown);
    // Followed through links: what a write would reach.
    if (info.exists() && !info.isFile()) {
        return QStringLiteral(
                   "%1 no es un archivo común (es un dispositivo, una tubería o un "
                   "zócalo) y no se escribe")
            .arg(shown);
    }
    return std::nullopt;
}

}  // namespace platform
