#pragma once

#include <vector>

#include "reportengine/OutputFile.h"
#include "reportengine/ReportDocument.h"
#include "reportengine/ReportPage.h"

class QPainter;
class QPagedPaintDevice;

namespace reportengine {

// Draws laid-out pages; the same drawing serves the preview, the printer and the PDF.
class PagePainter {
  public:
    // One page with its top left at the painter's origin, `scale` device pixels to a point.
    static void paint(QPainter& painter, const ReportPage& page, double scale);

    // Lays the document out for the device's printable area and prints it page by page, each
    // laid out as it is printed; the number of pages, 0 when the device could not be painted on,
    // -1 when `progress` stopped it.
    static int render(const ReportDocument& doc, QPagedPaintDevice& device,
                      const Progress& progress = {});
};

}  // namespace reportengine
