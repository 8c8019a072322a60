#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;

// The progress banner window: a title, three lines, a looping animation and a cancel button.
// Only Dll_Display drives it; the cancel state lives in the button's caption alone.
class Lbf_CtrlDisplay : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrames = 12;
    static constexpr int kFrameSize = 32;
    static constexpr int kTickMs = 100;
    static inline const QString kAbortado = QStringLiteral("Abortado");

    explicit Lbf_CtrlDisplay(QWidget* parent = nullptr);

    QLabel* LblCtrol(int index) const { return lblCtrol_.at(static_cast<size_t>(index)); }
    QPushButton* CmdDisplayCancelar() const { return cmdDisplayCancelar_; }
    const QTimer& Timer1() const { return timer1_; }

    bool cancelado() const;
    // The number (1 to 12) of the frame the picture shows.
    int frameShown() const { return frameShown_; }
    const QPixmap& frame(int number) const;

    // One animation step; the timer calls it every 100 ms.
    void Timer1_Timer();

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // While the banner can be cancelled, Esc and Alt+C cancel it from whichever window has the
    // keyboard: the banner itself never takes the focus from the window the user works in.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showFrame(int number);

    QLabel* titulo_ = nullptr;
    QLabel* image1_ = nullptr;
    std::array<QLabel*, 3> lblCtrol_{};
    QPushButton* cmdDisplayCancelar_ = nullptr;
    std::array<QPixmap, kFrames> imageList1_;
    QTimer timer1_;
    qint16 contador_ = 0;
    int frameShown_ = 0;
};
