#include "suitelib/MachineInfo.h"

#include "platform/Process.h"

namespace SuiteLib {

QString MachineInfo::ComputerName() const {
    return platform::process::computerName();
}

QString MachineInfo::UserName() const {
    return platform::process::userName();
}

QString MachineInfo::TempFolder() const {
    return platform::process::tempFolder();
}

}  // namespace SuiteLib
