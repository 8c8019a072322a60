#include "platform/ArchivoLegible.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Failure.h"
#include "platform/so/Archivos.h"

namespace platform::archivo {

namespace {

QString tamanoLegible(qint64 bytes) {
    if (bytes % (qint64(1) << 20) == 0) return QStringLiteral("%1 MB").arg(bytes >> 20);
    if (bytes % (qint64(1) << 10) == 0) return QStringLiteral("%1 KB").arg(bytes >> 10);
    return QStringLiteral("%1 bytes").arg(bytes);
}

QString nombrado(const QString& ruta) {
    return QStringLiteral("«%1»").arg(ruta);
}

ErrorInfo noEsComun(const QString& ruta, ClaseDeArchivo clase) {
    if (clase == ClaseDeArchivo::Carpeta)
        return {
            errnum::PathFileAccess, QStringLiteral("%1 es una carpeta").arg(nombrado(ruta)), {}};
    return {errnum::PathFileAccess,
            QStringLiteral("%1 no es un archivo común%2").arg(nombrado(ruta), queEs(clase)),
            {}};
}

ErrorInfo demasiadoGrande(const QString& ruta, qint64 limite) {
    return {errnum::PathFileAccess,
            QStringLiteral("%1 es demasiado grande (más de %2)")
                .arg(nombrado(ruta), tamanoLegible(limite)),
            {}};
}

ErrorInfo errorDe(const QString& ruta, const so::Apertura& a, Uso uso) {
    switch (a.causa) {
        case so::Causa::NoExiste:
            if (!QFileInfo(ruta).absoluteDir().exists())
                return {errnum::PathNotFound,
                        QStringLiteral("No se encontró la ruta de acceso %1").arg(nombrado(ruta)),
                        {}};
            return {errnum::FileNotFound,
                    QStringLiteral("No se encontró el archivo %1").arg(nombrado(ruta)),
                    {}};
        case so::Causa::SinPermiso:
            return {errnum::PermissionDenied,
                    QStringLiteral("%1 no se puede %2 (permiso denegado)")
                        .arg(nombrado(ruta), uso == Uso::Leer ? QStringLiteral("leer")
                                                              : QStringLiteral("escribir")),
                    {}};
        case so::Causa::Otra:
            return {errnum::PathFileAccess,
                    QStringLiteral("%1 no se puede abrir (error %2 del sistema)")
                        .arg(nombrado(ruta))
                        .arg(a.codigo),
                    {}};
        case so::Causa::Ninguna:
            break;
    }
    return noEsComun(ruta, a.clase);
}

[[noreturn]] void lanza(const ErrorInfo& e) {
    raise(e.number, e.description);
}

QIODevice::OpenMode modoDe(Uso uso) {
    switch (uso) {
        case Uso::Leer:
            return QIODevice::ReadOnly;
        case Uso::LeerYEscribir:
            return QIODevice::ReadWrite;
        case Uso::Escribir:
            return QIODevice::WriteOnly;
        case Uso::Agregar:
            return QIODevice::WriteOnly | QIODevice::Append;
    }
    return QIODevice::ReadOnly;
}

}  // namespace

void abre(QFile& f, const QString& ruta, Uso uso, qint64 limite) {
    const so::Apertura a = so::abre(ruta.toStdString(), uso);
    if (a.descriptor < 0) lanza(errorDe(ruta, a, uso));
    if (a.tamano > limite) {
        so::cierra(a.descriptor);
        lanza(demasiadoGrande(ruta, limite));
    }
    if (!f.open(a.descriptor, modoDe(uso), QFileDevice::AutoCloseHandle)) {
        so::cierra(a.descriptor);
        raise(errnum::PathFileAccess,
              QStringLiteral("%1 no se puede abrir: %2").arg(nombrado(ruta), f.errorString()));
    }
}

QByteArray lee(const QString& ruta, qint64 limite) {
    QFile f;
    abre(f, ruta, Uso::Leer, limite);
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(f.size()));
    // Read to its end, not to the size it had when it was opened: a file that grows meanwhile is
    // bounded all the same.
    char trozo[64 * 1024];
    for (;;) {
        const qint64 n = f.read(trozo, sizeof trozo);
        if (n < 0)
            raise(errnum::PathFileAccess,
                  QStringLiteral("%1 no se puede leer: %2").arg(nombrado(ruta), f.errorString()));
        if (n == 0) break;
        if (bytes.size() + n > limite) lanza(demasiadoGrande(ruta, limite));
        bytes.append(trozo, static_cast<qsizetype>(n));
    }
    return bytes;
}

bool legible(const QString& ruta) {
    const so::Apertura a = so::abre(ruta.toStdString(), Uso::Leer);
    so::cierra(a.descriptor);
    return a.descriptor >= 0;
}

ErrorInfo examina(const QString& ruta, qint64 limite) {
    so::Apertura a;
    a.clase = so::clase(ruta.toStdString());
    if (a.clase == ClaseDeArchivo::Ninguna) {
        a.causa = so::Causa::NoExiste;
        return errorDe(ruta, a, Uso::Leer);
    }
    if (a.clase != ClaseDeArchivo::Comun) return noEsComun(ruta, a.clase);
    const QFileInfo info(ruta);
    if (!info.isReadable()) {
        a.causa = so::Causa::SinPermiso;
        return errorDe(ruta, a, Uso::Leer);
    }
    if (info.size() > limite) return demasiadoGrande(ruta, limite);
    return {};
}

ClaseDeArchivo clase(const QString& ruta) {
    return so::clase(ruta.toStdString());
}

QString queEs(ClaseDeArchivo clase) {
    switch (clase) {
        case ClaseDeArchivo::Tuberia:
            return QStringLiteral(" (es una tubería)");
        case ClaseDeArchivo::Dispositivo:
            return QStringLiteral(" (es un dispositivo)");
        case ClaseDeArchivo::Socket:
            return QStringLiteral(" (es un socket)");
        default:
            return {};
    }
}

}  // namespace platform::archivo
