#include "platform/Escritura.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <atomic>

#include "platform/so/Archivos.h"

namespace platform::escritura {

namespace {
std::atomic<qint64> restantes{-1};
}  // namespace

void fallaTras(qint64 bytes) {
    restantes = bytes;
}

qint64 permitido(qint64 pedidos) {
    qint64 quedan = restantes.load();
    while (quedan >= 0) {
        const qint64 dados = std::min(quedan, pedidos);
        if (restantes.compare_exchange_weak(quedan, quedan - dados)) return dados;
    }
    return pedidos;
}

bool agregaEntero(QFile& f, const QByteArray& bytes) {
    const qint64 antes = f.size();
    const qint64 dados = permitido(bytes.size());
    const bool entero =
        f.write(bytes.constData(), dados) == bytes.size() && dados == bytes.size() && f.flush();
    if (entero) return true;
    // What reached the disk of a failed append goes: the file ends where it ended.
    f.flush();
    f.resize(antes);
    return false;
}

bool reemplaza(const QString& desde, const QString& hacia) {
    return so::reemplaza(desde.toStdString(), hacia.toStdString());
}

bool reemplazaEntero(const QString& destino, const QByteArray& bytes, QString* error) {
    const QFileInfo info(destino);
    QTemporaryFile temporal(
        info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    bool escrito = temporal.open();
    if (escrito) {
        const qint64 dados = permitido(bytes.size());
        escrito = temporal.write(bytes.constData(), dados) == bytes.size() &&
                  dados == bytes.size() && temporal.flush();
    }
    if (escrito) {
        temporal.close();
        escrito = reemplaza(temporal.fileName(), destino);
        if (escrito) temporal.setAutoRemove(false);
    }
    if (!escrito && error) {
        *error = QStringLiteral("No se pudo escribir %1 (¿disco lleno?).")
                     .arg(QDir::toNativeSeparators(destino));
    }
    return escrito;
}

}  // namespace platform::escritura
