#include "reportengine/PageView.h"

#include <QPainter>
#include <algorithm>

#include "reportengine/PagePainter.h"

namespace reportengine {

PageView::PageView(const PagedReport& report, const QPageLayout& layout, QWidget* parent)
    : QWidget(parent), report_(report), page_(report.page(0)), layout_(layout) {
    setAutoFillBackground(false);
    resize(sizeHint());
}

void PageView::setCurrentPage(int index) {
    const int page = std::clamp(index, 0, std::max(pageCount() - 1, 0));
    if (page == current_) return;
    current_ = page;
    page_ = report_.page(page);
    update();
}

void PageView::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    resize(sizeHint());
    updateGeometry();
    update();
}

double PageView::pixelsPerPoint() const {
    return logicalDpiX() / 72.0;
}

QSizeF PageView::paperPoints() const {
    return layout_.fullRect(QPageLayout::Point).size();
}

double PageView::zoomForWidth(int width) const {
    return (width - 2.0 * kDesk) / (paperPoints().width() * pixelsPerPoint());
}

double PageView::zoomForPage(QSize area) const {
    const double high = (area.height() - 2.0 * kDesk) / (paperPoints().height() * pixelsPerPoint());
    return std::min(zoomForWidth(area.width()), high);
}

QSize PageView::sizeHint() const {
    const QSizeF paper = paperPoints() * pixelsPerPoint() * zoom_;
    return QSize(static_cast<int>(paper.width()) + 2 * kDesk,
                 static_cast<int>(paper.height()) + 2 * kDesk);
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), deskColor());

    const double scale = pixelsPerPoint() * zoom_;
    const QSizeF paper = paperPoints() * scale;
    const QPointF origin(std::max((width() - paper.width()) / 2, double(kDesk)), kDesk);
    const QRectF sheet(origin, paper);
    painter.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 90));
    painter.fillRect(sheet, Qt::white);

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(origin + layout_.paintRect(QPageLayout::Point).topLeft() * scale);
    PagePainter::paint(painter, page_, scale);
    painter.restore();
}

}  // namespace reportengine
