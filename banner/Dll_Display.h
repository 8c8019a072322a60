#pragma once

#include <QPointer>
#include <optional>

#include "platform/Variant.h"

class Lbf_CtrlDisplay;

// The controller of the progress banner: open it, update its three lines, close it. Each
// operation creates the window first when there is none.
class Dll_Display {
  public:
    Dll_Display() = default;
    ~Dll_Display();
    Dll_Display(const Dll_Display&) = delete;
    Dll_Display& operator=(const Dll_Display&) = delete;

    void CartelInicio(const QString& Titulo, qint16 PermiteCancelar);
    // An omitted line (no value) keeps its text; a null shows as an empty line.
    void CartelMostrar(qint16& Cancelado, const std::optional<platform::Variant>& L1 = std::nullopt,
                       const std::optional<platform::Variant>& l2 = std::nullopt,
                       const std::optional<platform::Variant>& l3 = std::nullopt);
    void CartelCerrar();

    // For tests and screenshots: the window while it exists.
    Lbf_CtrlDisplay* window() const;

  private:
    Lbf_CtrlDisplay& ensureWindow();
    QPointer<Lbf_CtrlDisplay> window_;
};

// The shared banner of the program, created on first use.
Dll_Display& gCartel();
