#pragma once

// The interface of the suite's shared utility library that the rest of the program calls. One
// shared instance per class, created on first use and kept to the end.

#include "suitelib/FileDialog.h"
#include "suitelib/FormTools.h"
#include "suitelib/IniFile.h"
#include "suitelib/MachineInfo.h"
#include "suitelib/ReportRunner.h"
#include "suitelib/Tools.h"

namespace SuiteLib {

inline Tools& tools() {
    static Tools instance;
    return instance;
}

inline FormTools& formTools() {
    static FormTools instance;
    return instance;
}

inline MachineInfo& machineInfo() {
    static MachineInfo instance;
    return instance;
}

inline IniFile& iniFile() {
    static IniFile instance;
    return instance;
}

inline FileDialog& fileDialog() {
    static FileDialog instance;
    return instance;
}

inline ReportRunner& reportRunner() {
    static ReportRunner instance;
    return instance;
}

}  // namespace SuiteLib
