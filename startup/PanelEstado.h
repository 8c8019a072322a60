#pragma once

#include <QLabel>

// A panel of the status bar. A text of up to some forty letters is shown whole, as a label shows
// it; a longer one asks for that much room, makes do with a dozen letters and is shown cut with
// "…", so that a long value (a user name of thousands of characters) cannot widen the window.
// text() keeps the whole text.
class PanelEstado : public QLabel {
    Q_OBJECT
  public:
    explicit PanelEstado(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int anchoDe(int letras) const;  // the width of that many average letters
};
