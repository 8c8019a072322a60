#include "platform/TextFile.h"

#include "platform/ArchivoLegible.h"
#include "platform/Cp1252.h"
#include "platform/Escritura.h"
#include "platform/Failure.h"

namespace platform {

QString nativePath(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

namespace textfile {

QStringList readLines(const QString& path) {
    const QByteArray bytes = archivo::lee(nativePath(path), limite::kAjustes);
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
    QFile f;
    archivo::abre(f, nativePath(path), archivo::Uso::Escribir, limite::kNinguno);
    QByteArray out;
    for (const QString& l : lines) out += cp1252::encode(l) + "\r\n";
    if (f.write(out) != out.size())
        raise(errnum::PermissionDenied, QStringLiteral("No se pudo escribir el archivo"));
}

void appendLine(const QString& path, const QString& line) {
    QFile f;
    archivo::abre(f, nativePath(path), archivo::Uso::Agregar, limite::kNinguno);
    const QByteArray out = cp1252::encode(line) + "\r\n";
    if (!escritura::agregaEntero(f, out))
        raise(errnum::PermissionDenied, QStringLiteral("No se pudo escribir el archivo"));
}

}  // namespace textfile
}  // namespace platform
