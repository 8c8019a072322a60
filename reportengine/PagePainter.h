#pragma once

#include <vector>

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

    // Lays the document out for the device's printable area and prints every page; the number of
    // pages, 0 when the device could not be painted on.
    static int render(const ReportDocument& doc, QPagedPaintDevice& device);

    // The same, for pages already laid out for that printable area.
    static int render(const std::vector<ReportPage>& pages, QPagedPaintDevice& device);
};

}  // namespace reportengine
