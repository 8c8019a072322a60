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
    // Whether a line is no wider than `room`; the same answer as comparing its width.
    virtual bool fits(const QString& line, PageFont font, double room) const {
        return width(line, font) <= room;
    }
};

}  // namespace reportengine
