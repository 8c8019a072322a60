#pragma once

#include "reportengine/OutputFile.h"
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
    // Prints on a configured printer, with the progress banner on long jobs (a cancelled job is
    // not sent); tells the user when it could not be printed.
    static Outcome printOn(const ReportDocument& doc, QPrinter& printer);

    // Sets up a printer for a setting (the printer when it is installed, the orientation).
    static void configure(QPrinter& printer, const ReportDocument& doc,
                          const PrintSetting& setting);
    // The setting a configured printer stands for, to keep what the user chose.
    static PrintSetting settingOf(const QPrinter& printer);
};

}  // namespace reportengine
