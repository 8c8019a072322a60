#pragma once

#include <QHash>
#include <QToolBar>

class QAction;

// The report toolbar of the suite's report windows: buttons for "PANTALLA", "IMPRESORA",
// "CONSULTAR" and "CERRAR", each with an icon, a tool tip and a key. The window hands it every
// key through ProcesaTecla; the toolbar answers with the Comando signal.
class TBarRep : public QToolBar {
    Q_OBJECT
  public:
    explicit TBarRep(QWidget* parent = nullptr);

    // The lookup button is enabled exactly while this is true.
    void setHabilitaConsulta(bool on);
    bool HabilitaConsulta() const { return habilitaConsulta_; }

    // A key of the window (a Qt key code). A key that stands for a command emits Comando and is
    // set to 0 (consumed); other keys are left as they are.
    void ProcesaTecla(int& keyCode);

    // While busy (a generation running) commands are refused, not queued.
    void setOcupado(bool busy);
    bool ocupado() const { return ocupado_; }

    QAction* action(const QString& command) const;

  signals:
    void Comando(QString& command);

  private:
    void emitCommand(const QString& command);

    bool habilitaConsulta_ = false;
    bool ocupado_ = false;
    QHash<QString, QAction*> actions_;
};
