#include "startup/PanelEstado.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {
// Room for a server with its instance, a database path or a cash desk with its description.
constexpr int kLetras = 40;
// What a panel keeps when the window is narrow: enough to tell which panel it is.
constexpr int kLetrasMinimas = 12;
}  // namespace

PanelEstado::PanelEstado(QWidget* parent) : QLabel(parent) {}

int PanelEstado::anchoDe(int letras) const {
    const QMargins m = contentsMargins();
    return fontMetrics().averageCharWidth() * letras + m.left() + m.right() + 2 * margin();
}

QSize PanelEstado::sizeHint() const {
    QSize s = QLabel::sizeHint();
    s.setWidth(std::min(s.width(), anchoDe(kLetras)));
    return s;
}

QSize PanelEstado::minimumSizeHint() const {
    // A text that fits the room asked for keeps it whole; only a longer one gives way.
    QSize s = QLabel::minimumSizeHint();
    if (s.width() > anchoDe(kLetras)) s.setWidth(anchoDe(kLetrasMinimas));
    return s;
}

void PanelEstado::paintEvent(QPaintEvent* event) {
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString visible = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    if (visible == text()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter pintor(this);
    style()->drawItemText(&pintor, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), visible, foregroundRole());
}
