#pragma once

#include "reportengine/OutputFile.h"
#include "reportengine/ReportDocument.h"

namespace reportengine {

// Saves a report as a file, with the progress banner when it takes long; tells the user why
// when it could not be written. A cancelled file is not left behind, and not reported.
class ReportSaver {
  public:
    static Outcome savePdf(const ReportDocument& doc, const QString& path);
    static Outcome saveXlsx(const ReportDocument& doc, const QString& path);
};

}  // namespace reportengine
