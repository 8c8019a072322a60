#include "reportengine/PagePainter.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <array>
#include <optional>
#include <vector>

#include "reportengine/FontMeasure.h"
#include "reportengine/PagedReport.h"

namespace reportengine {

namespace {

QColor fillColor(BoxFill fill) {
    switch (fill) {
        case BoxFill::Heading:
            return QColor(0xdd, 0xe2, 0xe8);
        case BoxFill::Total:
            return QColor(0xee, 0xee, 0xee);
        case BoxFill::Stripe:
            return QColor(0xf3, 0xf5, 0xf8);
        case BoxFill::Shade1:
            return QColor(0xe6, 0xf0, 0xfa);
        case BoxFill::Shade2:
            return QColor(0xc9, 0xdf, 0xf4);
        case BoxFill::Shade3:
            return QColor(0xa6, 0xc8, 0xec);
        case BoxFill::Shade4:
            return QColor(0x82, 0xb0, 0xe2);
        case BoxFill::Rule:
            return QColor(0x44, 0x44, 0x44);
        case BoxFill::None:
            break;
    }
    return {};
}

int horizontalFlags(const PageBox& b) {
    switch (b.align) {
        case PageBox::Align::Center:
            return Qt::AlignHCenter;
        case PageBox::Align::Right:
            return Qt::AlignRight;
        case PageBox::Align::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

void PagePainter::paint(QPainter& painter, const ReportPage& page, double scale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.scale(scale, scale);
    // Fonts are given in points of the device; under the scale they must come out as points of
    // the page.
    const double fontFactor = 72.0 / painter.device()->logicalDpiY();
    const QPen border(QColor(0x88, 0x88, 0x88), 0.4);
    static const FontMeasure measure;

    // Fills go by colour and borders in one call: a PDF pays for each drawing call with the
    // state it writes, and a day-by-day page has thousands of cells. Borders come after every
    // fill, so that no neighbour's fill covers a shared edge; texts last, in the boxes' order.
    std::array<std::vector<QRectF>, kFillCount> fills;
    std::vector<QRectF> borders;
    for (const PageBox& b : page.boxes) {
        if (b.fill != BoxFill::None) fills[static_cast<std::size_t>(b.fill)].push_back(b.rect);
        if (b.border) borders.push_back(b.rect);
    }
    painter.setPen(Qt::NoPen);
    for (std::size_t f = 0; f < fills.size(); ++f) {
        if (fills[f].empty()) continue;
        painter.setBrush(fillColor(static_cast<BoxFill>(f)));
        painter.drawRects(fills[f].data(), static_cast<int>(fills[f].size()));
    }
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRects(borders.data(), static_cast<int>(borders.size()));

    // Fonts are set when they change: a long report has millions of boxes.
    painter.setPen(Qt::black);
    std::optional<PageFont> current;
    for (const PageBox& b : page.boxes) {
        if (b.text.isEmpty()) continue;
        if (current != b.font) {
            QFont font = FontMeasure::fontFor(b.font);
            font.setPointSizeF(font.pointSizeF() * fontFactor);
            painter.setFont(font);
            current = b.font;
        }
        // Lines go where the layout measured them, whatever line spacing the device's font
        // would choose, so that no box ends up with more text than room.
        const QStringList lines = b.text.split(QLatin1Char('\n'));
        const double lineHeight = measure.lineHeight(b.font);
        const QRectF inner =
            b.rect.adjusted(kBoxPaddingX, kBoxPaddingY, -kBoxPaddingX, -kBoxPaddingY);
        double y = b.top ? inner.top() : inner.center().y() - lines.size() * lineHeight / 2;
        // The lines were broken to the box's width; only a box cut short in height needs its
        // text clipped.
        const bool clip = lines.size() * lineHeight > inner.height() + kBoxPaddingY;
        if (clip) {
            painter.save();
            painter.setClipRect(b.rect);
        }
        for (const QString& line : lines) {
            painter.drawText(QRectF(inner.left(), y, inner.width(), lineHeight),
                             horizontalFlags(b) | Qt::AlignVCenter | Qt::TextDontClip, line);
            y += lineHeight;
        }
        if (clip) painter.restore();
    }
    painter.restore();
}

int PagePainter::render(const ReportDocument& doc, QPagedPaintDevice& device,
                        const Progress& progress) {
    const PagedReport report(doc, device.pageLayout().paintRect(QPageLayout::Point).size());
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const double scale = device.logicalDpiX() / 72.0;
    const int count = report.pageCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0) device.newPage();
        paint(painter, report.page(i), scale);
        if (progress && !progress(i + 1, count)) {
            // A printer is told to drop the job rather than print what was drawn.
            if (auto* printer = dynamic_cast<QPrinter*>(&device)) printer->abort();
            if (painter.isActive()) painter.end();
            return -1;
        }
    }
    painter.end();
    return count;
}

}  // namespace reportengine
