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
    std::array<double, 256> unknown;
    unknown.fill(-1);
    advances_.assign(metrics_.size(), unknown);
}

bool FontMeasure::fits(const QString& line, PageFont font, double room) const {
    // Shaping a line costs far more than adding up its characters' advances, and pairs of
    // letters set closer or wider change a line by a few hundredths at most: only a line near
    // the edge is shaped. Lists measure every cell of every row to lay out their pages.
    auto& advance = advances_[static_cast<std::size_t>(font)];
    const QFontMetricsF& m = metrics_[static_cast<std::size_t>(font)];
    double sum = 0;
    for (QChar c : line) {
        if (c.unicode() > 0xFF) return width(line, font) <= room;
        double& a = advance[c.unicode()];
        if (a < 0) a = m.horizontalAdvance(c);
        sum += a;
    }
    sum = sum * 72.0 / kDotsPerInch;
    if (sum <= room * 0.97) return true;
    if (sum > room * 1.1) return false;
    return width(line, font) <= room;
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
