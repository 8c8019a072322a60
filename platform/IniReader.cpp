#include "platform/IniReader.h"

#include <QFileInfo>

#include "platform/Failure.h"
#include "platform/TextFile.h"

namespace platform {

namespace {
bool isSection(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']'))) return false;
    *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

bool keyOf(const QString& line, QString* key, QString* value) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';'))) return false;
    const int eq = static_cast<int>(t.indexOf(QLatin1Char('=')));
    if (eq <= 0) return false;
    *key = t.left(eq).trimmed();
    *value = t.mid(eq + 1).trimmed();
    return true;
}
}  // namespace

QString readIniKey(const QString& path, const QString& section, const QString& key,
                   const QString& fallback, ErrorInfo* unreadable) {
    if (!QFileInfo::exists(nativePath(path))) return fallback;
    QStringList lines;
    try {
        lines = textfile::readLines(path);
    } catch (const Failure& f) {
        // A settings file that cannot be read gives the defaults, as a missing one does; the
        // caller that asks is told why, and says so where it logs.
        if (unreadable) *unreadable = f.info();
        return fallback;
    }
    return iniKeyOf(lines, section, key, fallback);
}

QString iniKeyOf(const QStringList& lines, const QString& section, const QString& key,
                 const QString& fallback) {
    bool inSection = false;
    for (const QString& line : lines) {
        QString name, k, v;
        if (isSection(line, &name)) {
            inSection = name.compare(section.trimmed(), Qt::CaseInsensitive) == 0;
        } else if (inSection && keyOf(line, &k, &v) &&
                   k.compare(key.trimmed(), Qt::CaseInsensitive) == 0) {
            return v;
        }
    }
    return fallback;
}

void writeIniKey(const QString& path, const QString& section, const QString& key,
                 const QString& value) {
    QStringList lines;
    if (QFileInfo::exists(nativePath(path))) lines = textfile::readLines(path);
    int sectionAt = -1, insertAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        QString name, k, v;
        if (isSection(lines[i], &name)) {
            if (sectionAt >= 0) break;
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                sectionAt = i;
                insertAt = i + 1;
            }
        } else if (sectionAt >= 0) {
            if (keyOf(lines[i], &k, &v) && k.compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = key + QLatin1Char('=') + value;
                textfile::writeLines(path, lines);
                return;
            }
            if (!lines[i].trimmed().isEmpty()) insertAt = i + 1;
        }
    }
    if (sectionAt < 0) {
        lines << QLatin1Char('[') + section + QLatin1Char(']');
        insertAt = static_cast<int>(lines.size());
    }
    lines.insert(insertAt, key + QLatin1Char('=') + value);
    textfile::writeLines(path, lines);
}

}  // namespace platform
