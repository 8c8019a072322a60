#include "platform/DestinoEscritura.h"

#include <QDir>

#include "platform/ArchivoLegible.h"

namespace platform {

std::optional<QString> porQueNoSeEscribe(const QString& destino) {
    const QString shown = QDir::toNativeSeparators(destino);
    // Followed through links: what a write would reach.
    const ClaseDeArchivo clase = archivo::clase(destino);
    if (clase == ClaseDeArchivo::Ninguna || clase == ClaseDeArchivo::Comun) return std::nullopt;
    if (clase == ClaseDeArchivo::Carpeta) return QStringLiteral("%1 es una carpeta").arg(shown);
    return QStringLiteral("%1 no es un archivo común%2 y no se escribe")
        .arg(shown, archivo::queEs(clase));
}

}  // namespace platform
