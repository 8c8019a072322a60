#pragma once

#include <QString>
#include <optional>

namespace platform {

// Whether the program may write a file at `destino`: a regular file, or a new name in a folder
// that exists. A folder, a device, a pipe or a socket is never written nor renamed over (as
// root, renaming over a device replaces it). The reason, in Spanish and naming the file, when not.
std::optional<QString> porQueNoSeEscribe(const QString& destino);

}  // namespace platform
