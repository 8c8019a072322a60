#include "suitelib/IniFile.h"

#include <QDir>
#include <QFileInfo>

#include "platform/IniReader.h"
#include "platform/Process.h"

namespace SuiteLib {

namespace {

// Settings files are named in whatever case the suite's installers used; on a file system that
// tells case apart the name is matched without regard to it.
QString existingPath(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) return path;
    const QDir folder = info.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) return folder.filePath(name);
    }
    return path;
}

}  // namespace

QString IniFile::ReadKey(const QString& file, const QString& section, const QString& key,
                         const QString& fallback, platform::ErrorInfo* unreadable) const {
    const bool bare = !file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\'));
    const QString path = bare ? platform::process::programFolder() + file : file;
    return platform::readIniKey(existingPath(path), section, key, fallback, unreadable);
}

}  // namespace SuiteLib
