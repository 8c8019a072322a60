#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace platform {

// A shared text file of the suite held under an exclusive lock while it is read and appended
// to, so that a check of its content and the append that depends on it are one step for every
// process that locks it too. Opened (created when missing) only when it is a regular file; the
// lock is released and the file closed on destruction.
class ArchivoBloqueado {
  public:
    // Waits for the lock. `abierto()` says whether it was taken; `error()` why not.
    explicit ArchivoBloqueado(const QString& ruta);
    ~ArchivoBloqueado();
    ArchivoBloqueado(const ArchivoBloqueado&) = delete;
    ArchivoBloqueado& operator=(const ArchivoBloqueado&) = delete;

    bool abierto() const;
    const QString& error() const { return error_; }

    // The whole content; false (with the reason) beyond `maximo` bytes or on a read failure.
    bool lee(QByteArray& contenido, qint64 maximo);
    // Appends `bytes` whole: on a failure (a full disk) the file is cut back to its length
    // before, so that it never keeps part of them; false with the reason.
    bool anade(const QByteArray& bytes);

  private:
    QFile f_;
    QString ruta_;
    QString error_;
    bool bloqueado_ = false;
};

}  // namespace platform
