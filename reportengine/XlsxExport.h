#pragma once

#include <QString>

#include "reportengine/OutputFile.h"
#include "reportengine/ReportDocument.h"

namespace reportengine {

// Writes a report as a spreadsheet: the heading lines, then the table with its heading rows
// frozen; counts, totals and numbers as numbers, dates as dates. A schedule with observations
// lists them on a sheet of their own. A table larger than a sheet continues on further sheets,
// the row labels (or the headings) repeated. Rows go out as they are read.
class XlsxExport {
  public:
    // Writes `path` (a file of the same folder until complete). Failed, with the reason in
    // `error`, when it could not be written; Cancelled when `progress` said to stop.
    static Outcome write(const ReportDocument& doc, const QString& path, QString* error,
                         const Progress& progress = {});

    // A sheet's room, and a cell's.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxText = 32767;
};

}  // namespace reportengine
