#pragma once

#include <QString>

#include "reportengine/OutputFile.h"
#include "reportengine/ReportDocument.h"

namespace reportengine {

// Where sheets are cut: at a sheet's room, or smaller only to try the cutting (tests).
struct XlsxLimits {
    int rows = 1048576;
    int columns = 16384;
};

// Writes a report as a spreadsheet: the heading lines, then the table with its heading rows
// frozen; counts, totals and numbers as numbers, dates as dates. A schedule with observations
// lists them on a sheet of their own. A table larger than a sheet continues on further sheets,
// the row labels (or the headings) repeated. Rows go out as they are read.
class XlsxExport {
  public:
    // Writes `path` (a file of the same folder until complete). Failed, with the reason in
    // `error`, when it could not be written; Cancelled when `progress` said to stop.
    // A sheet's room, and a cell's.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxText = 32767;
    static Outcome write(const ReportDocument& doc, const QString& path, QString* error,
                         const Progress& progress = {}, const XlsxLimits& limits = {});
};

}  // namespace reportengine
