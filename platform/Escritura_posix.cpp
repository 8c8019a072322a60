#include <QFile>
#include <cstdio>

#include "platform/Escritura.h"

namespace platform::escritura {

bool reemplaza(const QString& desde, const QString& hacia) {
    // A rename within one folder replaces the target at once.
    return std::rename(QFile::encodeName(desde).constData(),
                       QFile::encodeName(hacia).constData()) == 0;
}

}  // namespace platform::escritura
