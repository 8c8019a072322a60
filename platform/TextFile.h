#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Line files shared with the suite's other programs: Windows-1252 text, lines ended by CR LF.
// They are settings and lists: read whole up to platform::limite::kAjustes. Failures raise the
// platform's file errors (53 not found, 70 permission denied, 76 path not found; 75 a folder,
// not a regular file, too large), named by platform/ArchivoLegible.
namespace textfile {
QStringList readLines(const QString& path);  // accepts CR LF, LF or a last line without end
void writeLines(const QString& path, const QStringList& lines);
void appendLine(const QString& path, const QString& line);  // creates the file when missing
}  // namespace textfile

// A path as the suite writes it ("C:\Prog\X.TXT" or "dir\file") in the form this system uses.
QString nativePath(const QString& path);

}  // namespace platform
