#pragma once

// Reads a member of a zip archive (a workbook) in the test's own process: what a spreadsheet
// program would open, without depending on a tool being installed.

#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

// The bytes of `member` of `archive`; empty when the archive or the member is not there. A member
// that does not read back whole (a damaged archive, a wrong checksum) fails the test that asked.
inline QByteArray unzipped(const QString& archive, const QString& member) {
    const std::unique_ptr<void, int (*)(unzFile)> zip(
        unzOpen64(QFile::encodeName(archive).constData()), &unzClose);
    if (!zip) return {};
    if (unzLocateFile(zip.get(), member.toUtf8().constData(), 1) != UNZ_OK) return {};
    if (unzOpenCurrentFile(zip.get()) != UNZ_OK) {
        ADD_FAILURE() << member.toStdString() << " of " << archive.toStdString()
                      << " cannot be opened";
        return {};
    }
    QByteArray bytes;
    char chunk[64 * 1024];
    int n = 0;
    while ((n = unzReadCurrentFile(zip.get(), chunk, sizeof chunk)) > 0) bytes.append(chunk, n);
    // Closing checks the checksum of what was read.
    const int closed = unzCloseCurrentFile(zip.get());
    if (n < 0 || closed != UNZ_OK) {
        ADD_FAILURE() << member.toStdString() << " of " << archive.toStdString()
                      << " does not read back whole (" << (n < 0 ? n : closed) << ")";
        return {};
    }
    return bytes;
}
