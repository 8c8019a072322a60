#include "reportengine/PagedReport.h"

namespace reportengine {

PagedReport::PagedReport(const ReportDocument& doc, QSizeF area)
    : doc_(doc), layout_(area, measure_), plan_(layout_.plan(doc)) {}

}  // namespace reportengine
