#pragma once

#include <QString>

#include "platform/Failure.h"

namespace SuiteLib {

class IniFile {
  public:
    // A bare file name is looked for in the program folder. A file that is there but cannot be
    // read gives `fallback`, as a missing one does; why, in `unreadable` when asked.
    QString ReadKey(const QString& file, const QString& section, const QString& key,
                    const QString& fallback, platform::ErrorInfo* unreadable = nullptr) const;
};

}  // namespace SuiteLib
