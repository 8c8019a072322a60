#pragma once

#include <QString>

#include "reportengine/ReportDocument.h"

namespace reportengine {

// Writes a report as a spreadsheet: the heading lines, then the table with its heading rows
// frozen; counts, totals and numbers as numbers, dates as dates. A schedule with observations
// lists them on a second sheet.
class XlsxExport {
  public:
    // False, with the reason in `error`, when the file could not be written.
    static bool write(const ReportDocument& doc, const QString& path, QString* error);
};

}  // namespace reportengine
