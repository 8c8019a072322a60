#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <array>
#include <vector>

#include "reportengine/TextMeasure.h"

namespace reportengine {

// Measures with the fonts the pages are painted with. Needs the application's font database
// (a QGuiApplication).
class FontMeasure : public TextMeasure {
  public:
    FontMeasure();
    double width(const QString& line, PageFont font) const override;
    double lineHeight(PageFont font) const override;
    bool fits(const QString& line, PageFont font, double room) const override;

    // The font of a style at its size in points.
    static QFont fontFor(PageFont font);

  private:
    // Measured at a fine resolution so that rounding to device pixels does not distort widths.
    static constexpr int kDotsPerInch = 720;
    QImage device_;
    // One per style: making a font and its metrics for every text measured cost more than the
    // measuring.
    std::vector<QFontMetricsF> metrics_;
    // Advances of the Latin-1 characters of each style, measured when first needed (negative
    // until then).
    mutable std::vector<std::array<double, 256>> advances_;
};

}  // namespace reportengine
