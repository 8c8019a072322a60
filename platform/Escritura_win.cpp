#include <windows.h>

#include <QDir>

#include "platform/Escritura.h"

namespace platform::escritura {

bool reemplaza(const QString& desde, const QString& hacia) {
    const std::wstring de = QDir::toNativeSeparators(desde).toStdWString();
    const std::wstring a = QDir::toNativeSeparators(hacia).toStdWString();
    return MoveFileExW(de.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           0;
}

}  // namespace platform::escritura
