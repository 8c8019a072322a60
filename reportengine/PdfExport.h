#pragma once

#include <QPageLayout>
#include <QString>

#include "reportengine/ReportDocument.h"

namespace reportengine {

// Writes a report as a PDF file, on A4 in the template's orientation.
class PdfExport {
  public:
    // The number of pages written; 0, with the reason in `error`, when the file could not be
    // written.
    static int write(const ReportDocument& doc, const QString& path, QString* error);

    // A4 with 10 mm margins: the page of the preview and of the files.
    static QPageLayout pageLayout(bool landscape);
};

}  // namespace reportengine
