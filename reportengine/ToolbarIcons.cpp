#include "reportengine/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace reportengine {

namespace {

const QColor kInk(0x2f, 0x4f, 0x6f);
const QColor kPaper(0xf4, 0xf6, 0xf8);

// A triangle pointing left or right, its flat side at `x`.
void arrow(QPainter& p, double x, bool right) {
    QPainterPath path;
    const double tip = right ? x + 7 : x - 7;
    path.moveTo(x, 3);
    path.lineTo(tip, 8);
    path.lineTo(x, 13);
    path.closeSubpath();
    p.fillPath(path, kInk);
}

void draw(QPainter& p, ToolbarIcon which) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPen pen(kInk, 1.2);
    switch (which) {
        case ToolbarIcon::Print:
            p.setPen(pen);
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 1.5, 7, 5));  // paper in
            p.setBrush(kInk);
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 5), 1, 1);  // body
            p.setBrush(kPaper);
            p.drawRect(QRectF(4.5, 9.5, 7, 5));  // paper out
            break;
        case ToolbarIcon::Save:
            p.setPen(pen);
            p.setBrush(kInk);
            p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
            p.fillRect(QRectF(4, 2, 8, 5), kPaper);   // label
            p.fillRect(QRectF(5, 10, 6, 4), kPaper);  // shutter
            break;
        case ToolbarIcon::First:
            p.fillRect(QRectF(3, 3, 2, 10), kInk);
            arrow(p, 12, false);
            break;
        case ToolbarIcon::Previous:
            arrow(p, 11, false);
            break;
        case ToolbarIcon::Next:
            arrow(p, 5, true);
            break;
        case ToolbarIcon::Last:
            arrow(p, 4, true);
            p.fillRect(QRectF(11, 3, 2, 10), kInk);
            break;
        case ToolbarIcon::Close:
            p.setPen(QPen(QColor(0xa0, 0x30, 0x30), 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
    }
}

}  // namespace

QIcon toolbarIcon(ToolbarIcon which) {
    QIcon icon;
    // Drawn on a 16-point grid at the sizes a toolbar asks for.
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(size / 16.0, size / 16.0);
        draw(p, which);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace reportengine
