#pragma once

#include <QString>

namespace SuiteLib {

class IniFile {
  public:
    // A bare file name is looked for in the program folder.
    QString ReadKey(const QString& file, const QString& section, const QString& key,
                    const QString& fallback) const;
};

}  // namespace SuiteLib
