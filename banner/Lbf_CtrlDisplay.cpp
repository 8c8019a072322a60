#include "banner/Lbf_CtrlDisplay.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 132;
constexpr double kOpacity = 200.0 / 255.0;

// Twelve dots on a circle; the dot of the frame's own position is the brightest and the ones
// behind it fade, so stepping through the frames turns the ring.
QPixmap drawFrame(int number) {
    const int size = Lbf_CtrlDisplay::kFrameSize;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPointF centre(size / 2.0, size / 2.0);
    const double ring = size / 2.0 - 4.5;
    const int n = Lbf_CtrlDisplay::kFrames;
    const int head = number - 1;
    for (int i = 0; i < n; ++i) {
        const int behind = (head - i + n) % n;
        const double angle = 2.0 * M_PI * i / n - M_PI / 2.0;
        const QPointF at(centre.x() + ring * std::cos(angle), centre.y() + ring * std::sin(angle));
        QColor colour(0x8F, 0xD8, 0xFF);
        colour.setAlphaF(std::max(0.12, 1.0 - behind / 8.0));
        p.setBrush(colour);
        const double radius = behind == 0 ? 3.6 : std::max(1.6, 3.2 - behind * 0.2);
        p.drawEllipse(at, radius, radius);
    }
    return pixmap;
}

const char* kStyle = R"(
Lbf_CtrlDisplay { background: #1E2B38; border: 1px solid #56799A; }
QLabel { color: #E6EEF5; background: transparent; }
QLabel#titulo { color: #FFFFFF; font-weight: bold; padding: 5px 10px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3A6186, stop:1 #2A4763);
    border-bottom: 1px solid #56799A; }
QPushButton { color: #FFFFFF; background: #34506B; border: 1px solid #6F93B5;
    border-radius: 3px; padding: 3px 14px; }
QPushButton:hover { background: #41668A; }
QPushButton:pressed { background: #27405A; }
QPushButton[text="Abortado"] { background: #8E3B2F; border-color: #C8705F; }
)";

}  // namespace

Lbf_CtrlDisplay::Lbf_CtrlDisplay(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_StyledBackground);
    // The banner reports progress; the keyboard stays with the window the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QString::fromUtf8(kStyle));
    setFixedSize(kWidth, kHeight);

    titulo_ = new QLabel(this);
    titulo_->setObjectName(QStringLiteral("titulo"));
    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setFixedSize(kFrameSize, kFrameSize);
    cmdDisplayCancelar_ = new QPushButton(this);
    cmdDisplayCancelar_->setObjectName(QStringLiteral("CmdDisplayCancelar"));
    cmdDisplayCancelar_->setFocusPolicy(Qt::NoFocus);

    auto* lineas = new QVBoxLayout;
    lineas->setSpacing(3);
    for (size_t i = 0; i < lblCtrol_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("LblCtrol_%1").arg(i));
        // A long line is cut at the window's edge instead of widening the banner.
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        lblCtrol_[i] = label;
        lineas->addWidget(label);
    }
    lineas->addStretch();

    auto* cuerpo = new QHBoxLayout;
    cuerpo->setContentsMargins(12, 10, 12, 0);
    cuerpo->setSpacing(12);
    cuerpo->addWidget(image1_, 0, Qt::AlignTop);
    cuerpo->addLayout(lineas, 1);

    auto* botones = new QHBoxLayout;
    botones->setContentsMargins(12, 0, 10, 8);
    botones->addStretch();
    botones->addWidget(cmdDisplayCancelar_);

    auto* raiz = new QVBoxLayout(this);
    raiz->setContentsMargins(1, 1, 1, 1);
    raiz->setSpacing(0);
    raiz->addWidget(titulo_);
    raiz->addLayout(cuerpo, 1);
    raiz->addLayout(botones);

    for (int i = 0; i < kFrames; ++i) imageList1_[static_cast<size_t>(i)] = drawFrame(i + 1);

    setWindowTitle(QStringLiteral("Procesando Datos"));

    // Load: centred on the screen, button caption, first frame, translucent. A frameless window's
    // client area is the window itself, so it already sits where its client area starts.
    if (QScreen* pantalla = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect g = pantalla->geometry();
        move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
    }
    cmdDisplayCancelar_->setText(QStringLiteral("&Cancelar"));
    showFrame(1);
    setWindowOpacity(kOpacity);

    connect(cmdDisplayCancelar_, &QPushButton::clicked, this, [this] {
        cmdDisplayCancelar_->setText(kAbortado);
        // The sheet marks the cancelled state by the caption; it looks again only when polished.
        cmdDisplayCancelar_->style()->unpolish(cmdDisplayCancelar_);
        cmdDisplayCancelar_->style()->polish(cmdDisplayCancelar_);
    });
    timer1_.setInterval(kTickMs);
    connect(&timer1_, &QTimer::timeout, this, &Lbf_CtrlDisplay::Timer1_Timer);
    timer1_.start();
}

bool Lbf_CtrlDisplay::cancelado() const {
    return cmdDisplayCancelar_->text() == kAbortado;
}

const QPixmap& Lbf_CtrlDisplay::frame(int number) const {
    return imageList1_.at(static_cast<size_t>(number - 1));
}

void Lbf_CtrlDisplay::Timer1_Timer() {
    ++contador_;
    showFrame(contador_);
    if (contador_ >= kFrames) contador_ = 0;
}

void Lbf_CtrlDisplay::changeEvent(QEvent* event) {
    // Frameless: the caption is drawn inside the window.
    if (event->type() == QEvent::WindowTitleChange && titulo_) titulo_->setText(windowTitle());
    QWidget::changeEvent(event);
}

void Lbf_CtrlDisplay::showFrame(int number) {
    if (number < 1 || number > kFrames) return;
    image1_->setPixmap(frame(number));
    frameShown_ = number;
}

void Lbf_CtrlDisplay::showEvent(QShowEvent* event) {
    qApp->installEventFilter(this);
    QWidget::showEvent(event);
}

void Lbf_CtrlDisplay::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
}

bool Lbf_CtrlDisplay::eventFilter(QObject* watched, QEvent* event) {
    const bool override = event->type() == QEvent::ShortcutOverride;
    if ((!override && event->type() != QEvent::KeyPress) || cmdDisplayCancelar_->isHidden())
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool escape = key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
    const bool altC = key->key() == Qt::Key_C && key->modifiers() == Qt::AltModifier;
    if (!escape && !altC) return QWidget::eventFilter(watched, event);
    // Claimed before any shortcut of the window below takes the keys, then taken here: that
    // window would otherwise close (Esc) or act while it works.
    event->accept();
    if (!override && !cancelado()) cmdDisplayCancelar_->click();
    return true;
}
