#include <windows.h>

#include <QDir>

#include "platform/ArchivoBloqueado.h"
#include "platform/Escritura.h"

namespace platform {

struct ArchivoBloqueado::Estado {
    HANDLE h = INVALID_HANDLE_VALUE;
};

namespace {
QString mostrado(const QString& ruta) {
    return QDir::toNativeSeparators(ruta);
}
}  // namespace

ArchivoBloqueado::ArchivoBloqueado(const QString& ruta)
    : estado_(std::make_unique<Estado>()), ruta_(ruta) {
    const std::wstring nombre = QDir::toNativeSeparators(ruta).toStdWString();
    HANDLE h = CreateFileW(nombre.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = QStringLiteral("No se pudo abrir %1.").arg(mostrado(ruta));
        return;
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        error_ = QStringLiteral("%1 no es un archivo común y no se escribe.").arg(mostrado(ruta));
        return;
    }
    OVERLAPPED ov{};  // the lock covers the whole file from its start
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &ov)) {
        CloseHandle(h);
        error_ = QStringLiteral("No se pudo bloquear %1.").arg(mostrado(ruta));
        return;
    }
    estado_->h = h;
}

ArchivoBloqueado::~ArchivoBloqueado() {
    if (estado_->h == INVALID_HANDLE_VALUE) return;
    OVERLAPPED ov{};  // the lock covers the whole file from its start
    UnlockFileEx(estado_->h, 0, MAXDWORD, MAXDWORD, &ov);
    CloseHandle(estado_->h);
}

bool ArchivoBloqueado::abierto() const {
    return estado_->h != INVALID_HANDLE_VALUE;
}

bool ArchivoBloqueado::lee(QByteArray& contenido, qint64 maximo) {
    contenido.clear();
    LARGE_INTEGER tam{};
    if (!GetFileSizeEx(estado_->h, &tam)) {
        error_ = QStringLiteral("No se pudo leer %1.").arg(mostrado(ruta_));
        return false;
    }
    if (tam.QuadPart > maximo) {
        error_ = QStringLiteral("%1 es demasiado grande (más de %2 bytes).")
                     .arg(mostrado(ruta_))
                     .arg(maximo);
        return false;
    }
    LARGE_INTEGER cero{};
    SetFilePointerEx(estado_->h, cero, nullptr, FILE_BEGIN);
    contenido.resize(static_cast<qsizetype>(tam.QuadPart));
    DWORD leidos = 0;
    if (!ReadFile(estado_->h, contenido.data(), static_cast<DWORD>(contenido.size()), &leidos,
                  nullptr)) {
        error_ = QStringLiteral("No se pudo leer %1.").arg(mostrado(ruta_));
        return false;
    }
    contenido.resize(static_cast<qsizetype>(leidos));
    return true;
}

bool ArchivoBloqueado::anade(const QByteArray& bytes) {
    LARGE_INTEGER cero{}, antes{};
    if (!SetFilePointerEx(estado_->h, cero, &antes, FILE_END)) {
        error_ = QStringLiteral("No se pudo escribir %1.").arg(mostrado(ruta_));
        return false;
    }
    // As much as the disk takes (a test switch may say it is full).
    const qint64 dados = escritura::permitido(bytes.size());
    DWORD escritos = 0;
    if (WriteFile(estado_->h, bytes.constData(), static_cast<DWORD>(dados), &escritos, nullptr) &&
        escritos == static_cast<DWORD>(bytes.size()) && FlushFileBuffers(estado_->h))
        return true;
    // Nothing of a failed append stays: the next line would be glued to it.
    SetFilePointerEx(estado_->h, antes, nullptr, FILE_BEGIN);
    SetEndOfFile(estado_->h);
    error_ = QStringLiteral("No se pudo escribir %1 (¿disco lleno?).").arg(mostrado(ruta_));
    return false;
}

}  // namespace platform
