#pragma once

#include <QPageLayout>
#include <QString>

#include "reportengine/OutputFile.h"
#include "reportengine/ReportDocument.h"

namespace reportengine {

// Writes a report as a PDF file, on A4 in the template's orientation, a page at a time.
class PdfExport {
  public:
    // Writes `path` (a file of the same folder until complete). Failed, with the reason in
    // `error`, when it could not be written; Cancelled when `progress` said to stop.
    static Outcome write(const ReportDocument& doc, const QString& path, QString* error,
                         const Progress& progress = {});

    // A4 with 10 mm margins: the page of the preview and of the files.
    static QPageLayout pageLayout(bool landscape);
};

}  // namespace reportengine
