#pragma once

#include <QString>

#include "reportengine/ReportPage.h"

namespace reportengine {

// Widths and line heights of text in points, so that the page layout needs no paint device.
class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    virtual double width(const QString& line, PageFont font) const = 0;
    virtual double lineHeight(PageFont font) const = 0;
};

}  // namespace reportengine
