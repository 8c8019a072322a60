#pragma once

#include <QString>

#include "platform/Failure.h"

namespace platform {

// Reads a key of a Windows-style settings file (Windows-1252): sections and keys compared
// without regard to case, the value trimmed. A missing file, section or key gives `fallback`,
// and so does a file that is there but cannot be read (not a regular file, too large, no
// permission), at once; why it could not, in `unreadable` when the caller asks.
QString readIniKey(const QString& path, const QString& section, const QString& key,
                   const QString& fallback, ErrorInfo* unreadable = nullptr);

// The same from the lines of a settings file already read (textfile::readLines), for a file
// whose failures matter to the caller.
QString iniKeyOf(const QStringList& lines, const QString& section, const QString& key,
                 const QString& fallback);

// Writes (or replaces) a key, creating the file and the section when missing; CR LF lines.
void writeIniKey(const QString& path, const QString& section, const QString& key,
                 const QString& value);

}  // namespace platform
