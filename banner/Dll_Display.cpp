#include "banner/Dll_Display.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "banner/Lbf_CtrlDisplay.h"

Dll_Display::~Dll_Display() {
    // A window left open at the end of the run goes with the application; once that is gone,
    // deleting a widget is no longer safe.
    if (window_ && QCoreApplication::instance()) delete window_.data();
}

void Dll_Display::CartelInicio(const QString& Titulo, qint16 PermiteCancelar) {
    Lbf_CtrlDisplay& w = ensureWindow();
    // Over a modal window (a preview writing its PDF) the banner is that window's own: otherwise
    // the modal one would keep every click from its cancel button until the work is done.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == &w) modal = nullptr;
    if (w.parentWidget() != modal) {
        const QPoint at = w.pos();
        w.setParent(modal, w.windowFlags());
        w.move(at);
    }
    w.setWindowTitle(Titulo);
    w.CmdDisplayCancelar()->setVisible(PermiteCancelar != 0);
    w.show();
}

void Dll_Display::CartelMostrar(qint16& Cancelado, const std::optional<platform::Variant>& L1,
                                const std::optional<platform::Variant>& l2,
                                const std::optional<platform::Variant>& l3) {
    Lbf_CtrlDisplay& w = ensureWindow();
    const std::optional<platform::Variant>* lineas[] = {&L1, &l2, &l3};
    for (int i = 0; i < 3; ++i) {
        const auto& valor = *lineas[i];
        if (!valor) continue;
        QString texto;
        try {
            texto = valor->textOr(QString());
        } catch (...) {
            // A value without a text form shows as an empty line.
        }
        w.LblCtrol(i)->setText(texto);
    }
    w.repaint();
    Cancelado = w.cancelado() ? qint16(-1) : qint16(0);
    QCoreApplication::processEvents();
}

void Dll_Display::CartelCerrar() {
    Lbf_CtrlDisplay& w = ensureWindow();
    w.hide();
    delete &w;
}

Lbf_CtrlDisplay* Dll_Display::window() const {
    return window_.data();
}

Lbf_CtrlDisplay& Dll_Display::ensureWindow() {
    if (!window_) window_ = new Lbf_CtrlDisplay;
    return *window_;
}

Dll_Display& gCartel() {
    static Dll_Display cartel;
    return cartel;
}
