#include "platform/DestinoEscritura.h"

#include <QDir>

#include "platform/ArchivoLegible.h"

namespace platform {

std::optional<QString> porQueNoSeEscribe(const QString& destino) {
    const QString shown = QDir::toNativeSeparators(destino);
    // Followed through links: what a write would reach.
    QString que;
    switch (archivo::clase(destino)) {
        case ClaseDeArchivo::Ninguna:
        case ClaseDeArchivo::Comun:
            return std::nullopt;
        case ClaseDeArchivo::Carpeta:
            return QStringLiteral("%1 es una carpeta").arg(shown);
        case ClaseDeArchivo::Tuberia:
            que = QStringLiteral(" (es una tubería)");
            break;
        case ClaseDeArchivo::Dispositivo:
            que = QStringLiteral(" (es un dispositivo)");
            break;
        case ClaseDeArchivo::Socket:
            que = QStringLiteral(" (es un socket)");
            break;
        case ClaseDeArchivo::Otra:
            break;
    }
    return QStringLiteral("%1 no es un archivo común%2 y no se escribe").arg(shown, que);
}

}  // namespace platform
