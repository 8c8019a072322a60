#pragma once

#include "reportengine/PrintSettingStore.h"
#include "reportengine/ReportDocument.h"

class QPrinter;

namespace reportengine {

// Prints a report without asking: on the printer and in the orientation of a stored setting,
// else on the system's default printer in the template's orientation. A machine without any
// printer gets a PDF file in the temporary folder instead, and is told where.
class ReportPrinter {
  public:
    // False when nothing could be printed or written (the user has been told).
    static bool print(const ReportDocument& doc, qint32 printSetting);

    // Sets up a printer for a setting (the printer when it is installed, the orientation).
    static void configure(QPrinter& printer, const ReportDocument& doc,
                          const PrintSetting& setting);
    // The setting a configured printer stands for, to keep what the user chose.
    static PrintSetting settingOf(const QPrinter& printer);
};

}  // namespace reportengine
