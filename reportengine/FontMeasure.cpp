#include "reportengine/FontMeasure.h"

#include <QFontMetricsF>

namespace reportengine {

FontMeasure::FontMeasure() : device_(1, 1, QImage::Format_RGB32) {
    const int dotsPerMeter = static_cast<int>(kDotsPerInch / 0.0254 + 0.5);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
    for (PageFont f : {PageFont::Title, PageFont::Company, PageFont::Parameters, PageFont::Heading,
                       PageFont::Body, PageFont::BodyBold, PageFont::Footer})
        metrics_.emplace_back(fontFor(f), &device_);
}

double FontMeasure::width(const QString& line, PageFont font) const {
    return metrics_[static_cast<std::size_t>(font)].horizontalAdvance(line) * 72.0 / kDotsPerInch;
}

double FontMeasure::lineHeight(PageFont font) const {
    return metrics_[static_cast<std::size_t>(font)].lineSpacing() * 72.0 / kDotsPerInch;
}

QFont FontMeasure::fontFor(PageFont font) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    switch (font) {
        case PageFont::Title:
            f.setPointSizeF(14);
            f.setBold(true);
            break;
        case PageFont::Company:
            f.setPointSizeF(10);
            f.setBold(true);
            break;
        case PageFont::Parameters:
            f.setPointSizeF(8);
            break;
        case PageFont::Heading:
            f.setPointSizeF(7);
            f.setBold(true);
            break;
        case PageFont::Body:
            f.setPointSizeF(7);
            break;
        case PageFont::BodyBold:
            f.setPointSizeF(7);
            f.setBold(true);
            break;
        case PageFont::Footer:
            f.setPointSizeF(7);
            break;
    }
    return f;
}

}  // namespace reportengine
