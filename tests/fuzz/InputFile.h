#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// The input written as a file of that name in a folder of the target's own; empty when it could
// not be written.
inline QString inputFile(const char* name, const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}
