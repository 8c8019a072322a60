#include "widgets/TBarRep.h"

#include <QAction>
#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QToolButton>
#include <QVariant>

namespace {

constexpr int kIcon = 32;

struct Boton {
    const char* comando;
    const char* texto;
    const char* ayuda;
    int tecla;
};

constexpr Boton kBotones[] = {
    {"PANTALLA", "Pantalla", "Ver el informe en pantalla (F5)", Qt::Key_F5},
    {"IMPRESORA", "Impresora", "Imprimir el informe (F6)", Qt::Key_F6},
    {"CONSULTAR", "Consultar", "Consultar el campo activo (F3)", Qt::Key_F3},
    {"CERRAR", "Cerrar", "Cerrar (Esc)", Qt::Key_Escape},
};

const QString kConsultar = QStringLiteral("CONSULTAR");

void dibujaPantalla(QPainter& p) {
    p.setPen(QPen(QColor(0x3C, 0x44, 0x4E), 1.5));
    p.setBrush(QColor(0x5A, 0x63, 0x6E));
    p.drawRoundedRect(QRectF(2.5, 4.5, 27, 19), 2, 2);
    QLinearGradient vidrio(0, 6, 0, 22);
    vidrio.setColorAt(0, QColor(0x8E, 0xD1, 0xFF));
    vidrio.setColorAt(1, QColor(0x1F, 0x6F, 0xB8));
    p.setPen(Qt::NoPen);
    p.setBrush(vidrio);
    p.drawRect(QRectF(5, 7, 22, 14));
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawPolygon(QPolygonF({QPointF(5, 7), QPointF(18, 7), QPointF(5, 16)}));
    p.setBrush(QColor(0x5A, 0x63, 0x6E));
    p.drawRect(QRectF(13, 24, 6, 3));
    p.drawRoundedRect(QRectF(8, 27, 16, 2.5), 1, 1);
}

void dibujaImpresora(QPainter& p) {
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9.5, 3.5, 13, 10));
    QLinearGradient cuerpo(0, 11, 0, 24);
    cuerpo.setColorAt(0, QColor(0xB8, 0xBF, 0xC7));
    cuerpo.setColorAt(1, QColor(0x6B, 0x74, 0x7E));
    p.setPen(QPen(QColor(0x45, 0x4C, 0x54), 1.2));
    p.setBrush(cuerpo);
    p.drawRoundedRect(QRectF(3.5, 11.5, 25, 12), 2.5, 2.5);
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8.5, 19.5, 15, 9));
    p.setPen(QPen(QColor(0x2F, 0x7C, 0xC4), 1));
    for (int y : {22, 24, 26}) p.drawLine(QPointF(10.5, y + 0.5), QPointF(21.5, y + 0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3D, 0xD1, 0x5A));
    p.drawEllipse(QPointF(24.5, 15.5), 1.5, 1.5);
}

void dibujaConsultar(QPainter& p) {
    p.setPen(QPen(QColor(0x5B, 0x3A, 0x1E), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27.5, 27.5));
    QRadialGradient lente(QPointF(11, 10), 10);
    lente.setColorAt(0, QColor(0xE8, 0xF6, 0xFF));
    lente.setColorAt(1, QColor(0x8C, 0xC7, 0xEE));
    p.setPen(QPen(QColor(0x4A, 0x55, 0x60), 2.6));
    p.setBrush(lente);
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(8, 8, 10, 10), 100 * 16, 70 * 16);
}

void dibujaCerrar(QPainter& p) {
    QRadialGradient fondo(QPointF(13, 11), 15);
    fondo.setColorAt(0, QColor(0xF2, 0x6B, 0x5B));
    fondo.setColorAt(1, QColor(0xB5, 0x23, 0x1A));
    p.setPen(QPen(QColor(0x8A, 0x1A, 0x12), 1.2));
    p.setBrush(fondo);
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

QIcon icono(const QString& comando) {
    QPixmap pixmap(kIcon, kIcon);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (comando == QLatin1String("PANTALLA")) dibujaPantalla(p);
    if (comando == QLatin1String("IMPRESORA")) dibujaImpresora(p);
    if (comando == QLatin1String("CONSULTAR")) dibujaConsultar(p);
    if (comando == QLatin1String("CERRAR")) dibujaCerrar(p);
    return QIcon(pixmap);
}

// The form sets the bar's look through the dynamic property "StyleBar": non-zero gives flat
// buttons that rise under the mouse, 0 raised ones.
class StyleBarFilter : public QObject {
  public:
    explicit StyleBarFilter(QToolBar* bar) : QObject(bar), bar_(bar) {
        bar->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == bar_ && event->type() == QEvent::DynamicPropertyChange &&
            static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == "StyleBar") {
            const bool plano = bar_->property("StyleBar").toDouble() != 0;
            for (QAction* a : bar_->actions()) {
                auto* b = qobject_cast<QToolButton*>(bar_->widgetForAction(a));
                if (!b) continue;
                b->setAutoRaise(plano);
                // Style sheets may select on autoRaise; they look again only when polished.
                b->style()->unpolish(b);
                b->style()->polish(b);
            }
        }
        return false;
    }

  private:
    QToolBar* bar_;
};

}  // namespace

TBarRep::TBarRep(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setIconSize(QSize(kIcon, kIcon));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const Boton& b : kBotones) {
        const QString comando = QString::fromUtf8(b.comando);
        // No shortcut on the action: the window hands its keys to ProcesaTecla, and a second
        // path would deliver the same command twice.
        QAction* a = addAction(icono(comando), QString::fromUtf8(b.texto));
        a->setObjectName(comando);
        a->setData(comando);
        a->setToolTip(QString::fromUtf8(b.ayuda));
        connect(a, &QAction::triggered, this, [this, comando] { emitCommand(comando); });
        actions_.insert(comando, a);
        if (comando == kConsultar) addSeparator();
    }
    new StyleBarFilter(this);
    setHabilitaConsulta(false);
}

void TBarRep::setHabilitaConsulta(bool on) {
    habilitaConsulta_ = on;
    actions_.value(kConsultar)->setEnabled(on && !ocupado_);
}

void TBarRep::ProcesaTecla(int& keyCode) {
    for (const Boton& b : kBotones) {
        if (keyCode != b.tecla) continue;
        const QString comando = QString::fromUtf8(b.comando);
        if (comando == kConsultar && !habilitaConsulta_) return;
        // A command key is spent even while busy: it must not reach the focused control.
        keyCode = 0;
        emitCommand(comando);
        return;
    }
}

void TBarRep::setOcupado(bool busy) {
    ocupado_ = busy;
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it)
        it.value()->setEnabled(!busy && (it.key() != kConsultar || habilitaConsulta_));
}

QAction* TBarRep::action(const QString& command) const {
    return actions_.value(command.toUpper());
}

void TBarRep::emitCommand(const QString& command) {
    if (ocupado_) return;
    QString texto = command;
    emit Comando(texto);
}
