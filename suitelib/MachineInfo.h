#pragma once

#include <QString>

namespace SuiteLib {

class MachineInfo {
  public:
    QString ComputerName() const;
    QString UserName() const;
    QString TempFolder() const;
};

}  // namespace SuiteLib
