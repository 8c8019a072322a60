#pragma once

#include <QSizeF>

#include "reportengine/FontMeasure.h"
#include "reportengine/PageLayout.h"

namespace reportengine {

// A report cut into pages for one printable area, each page laid out when it is asked for.
// The document must outlive it.
class PagedReport {
  public:
    PagedReport(const ReportDocument& doc, QSizeF area);
    PagedReport(const PagedReport&) = delete;
    PagedReport& operator=(const PagedReport&) = delete;

    int pageCount() const { return plan_.pageCount; }
    ReportPage page(int index) const { return layout_.page(doc_, plan_, index); }

  private:
    const ReportDocument& doc_;
    FontMeasure measure_;
    PageLayout layout_;
    PageLayout::Plan plan_;
};

}  // namespace reportengine
