#include "reportengine/OutputFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>

#include "platform/DestinoEscritura.h"
#include "platform/Escritura.h"
#include "platform/so/Archivos.h"

namespace reportengine {

OutputFile::OutputFile(const QString& target) : target_(target) {}

OutputFile::~OutputFile() {
    if (!committed_ && !temp_.isEmpty()) QFile::remove(temp_);
}

bool OutputFile::openByProgram(const QString& path) {
    return so::estaAbierto(path.toStdString());
}

void OutputFile::removeStaleTemporaries(const QString& target) {
    const QFileInfo info(target);
    // Exactly our own name for a temporary of this target: ".NAME." and six letters or digits.
    const QString prefix = QStringLiteral(".%1.").arg(info.fileName());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-kStaleSeconds);
    const QDir folder = info.absoluteDir();
    for (const QFileInfo& f : folder.entryInfoList({prefix + QStringLiteral("??????")},
                                                   QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        const QString tail = f.fileName().mid(prefix.size());
        const bool ours = std::all_of(tail.begin(), tail.end(), [](QChar c) {
            return c.unicode() < 128 && c.isLetterOrNumber();
        });
        // One that is still being written is younger: a run writes its file without pauses.
        if (ours && f.lastModified() < before) QFile::remove(f.filePath());
    }
}

bool OutputFile::open(QString* error) {
    const QFileInfo info(target_);
    const QString shown = QDir::toNativeSeparators(target_);
    if (const auto why = platform::porQueNoSeEscribe(target_)) {
        if (error) *error = *why;
        return false;
    }
    if (openByProgram(target_)) {
        if (error) {
            *error = QStringLiteral(
                         "%1 está abierto por el programa (es su base de datos o uno "
                         "de sus archivos) y no se escribe encima; elija otro nombre")
                         .arg(shown);
        }
        return false;
    }
    // A database of the suite is never taken for an old report, open or not.
    if (info.isFile()) {
        QFile existing(target_);
        if (existing.open(QIODevice::ReadOnly) &&
            existing.read(16) == QByteArray("SQLite format 3", 16)) {
            if (error)
                *error = QStringLiteral(
                             "%1 es una base de datos y no se escribe encima; elija otro nombre")
                             .arg(shown);
            return false;
        }
    }
    removeStaleTemporaries(target_);
    QTemporaryFile temp(
        info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        if (error) *error = QStringLiteral("no se pudo escribir el archivo %1").arg(shown);
        return false;
    }
    temp_ = temp.fileName();
    // The report gets the target's permissions, or those of a new file, not a temporary's.
    temp.setPermissions(info.exists() ? info.permissions()
                                      : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return true;
}

bool OutputFile::commit(QString* error) {
    // Replaced in one step: a reader sees the old report or the new one.
    if (!platform::escritura::reemplaza(temp_, target_)) {
        if (error) {
            *error = QStringLiteral("no se pudo escribir el archivo %1")
                         .arg(QDir::toNativeSeparators(target_));
        }
        return false;
    }
    committed_ = true;
    return true;
}

}  // namespace reportengine
