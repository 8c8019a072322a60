#pragma once

#include <QString>

namespace platform {

// Reads a key of a Windows-style settings file (Windows-1252): sections and keys compared
// without regard to case, the value trimmed. A missing file, section or key gives `fallback`,
// and so does a file that cannot be read (not a regular file, too large), at once.
QString readIniKey(const QString& path, const QString& section, const QString& key,
                   const QString& fallback);

// The same from the lines of a settings file already read (textfile::readLines), for a file
// whose failures matter to the caller.
QString iniKeyOf(const QStringList& lines, const QString& section, const QString& key,
                 const QString& fallback);

// Writes (or replaces) a key, creating the file and the section when missing; CR LF lines.
void writeIniKey(const QString& path, const QString& section, const QString& key,
                 const QString& value);

}  // namespace platform
