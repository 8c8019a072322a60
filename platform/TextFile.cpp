#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/Cp1252.h"
#include "platform/Failure.h"

namespace platform {

namespace {
[[noreturn]] void raiseFileError(const QFile& f) {
    const QFileInfo info(f.fileName());
    if (!info.exists()) {
        if (!info.dir().exists())
            raise(errnum::PathNotFound, QStringLiteral("No se encontró la ruta de acceso"));
        raise(errnum::FileNotFound, QStringLiteral("No se encontró el archivo"));
    }
    raise(errnum::PermissionDenied, QStringLiteral("Permiso denegado"));
}
}  // namespace

QString nativePath(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

namespace textfile {

QStringList readLines(const QString& path) {
    QFile f(nativePath(path));
    if (!f.open(QIODevice::ReadOnly)) raiseFileError(f);
    const QByteArray bytes = f.readAll();
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            qsizetype end = i;
            if (end > start && bytes[end - 1] == '\r') --end;
            lines << cp1252::decode(bytes.mid(start, end - start));
            start = i + 1;
        }
    }
    if (start < bytes.size()) {
        QByteArray last = bytes.mid(start);
        if (last.endsWith('\r')) last.chop(1);
        lines << cp1252::decode(last);
    }
    return lines;
}

void writeLines(const QString& path, const QStringList& lines) {
    QFile f(nativePath(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) raiseFileError(f);
    QByteArray out;
    for (const QString& l : lines) out += cp1252::encode(l) + "\r\n";
    if (f.write(out) != out.size())
        raise(errnum::PermissionDenied, QStringLiteral("No se pudo escribir el archivo"));
}

void appendLine(const QString& path, const QString& line) {
    QFile f(nativePath(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) raiseFileError(f);
    const QByteArray out = cp1252::encode(line) + "\r\n";
    if (f.write(out) != out.size())
        raise(errnum::PermissionDenied, QStringLiteral("No se pudo escribir el archivo"));
}

}  // namespace textfile
}  // namespace platform
