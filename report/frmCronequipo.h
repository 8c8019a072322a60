#pragma once

#include <QMainWindow>
#include <QVariant>
#include <array>

#include "report/ParametrosCronograma.h"
#include "suitelib/ReportRunner.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStatusBar;
class TBarRep;

// The program's window: report type, dates, periodicity, technicians and the first-column
// fields; the report toolbar carries the commands. Closing it ends the program.
class frmCronequipo : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmCronequipo(QWidget* parent = nullptr);

    // The load sequence: start-up, dressing, library hooks, Inicializa.
    void Form_Load();
    void Inicializa();
    void Campo_Valida(QLineEdit* field);
    bool HayCamposChecked() const;
    bool CamposValidos();
    void ConsultaCampo();
    bool GeneraAuxiliar();
    // The toolbar's command event.
    void Comando(QString& command);

    // The controls as they stand, for a report run.
    ParametrosCronograma parametros() const;
    // The preview's "Calendario": the visits of the schedule of these parameters, saved where the
    // user says.
    static SuiteLib::ReportOutput::ExtraSave guardaCalendario(const ParametrosCronograma& p);
    QLineEdit* campo(const QString& dataField) const;
    QVariant HayError() const { return hayError_; }
    bool generando() const { return generando_; }

    TBarRep* TBarRep1 = nullptr;
    QComboBox* CmbTG = nullptr;
    QComboBox* CmbPeriodicidad = nullptr;
    std::array<QLineEdit*, 4> txtfields{};
    QCheckBox* chkCodigo = nullptr;
    QCheckBox* chkDescripcion = nullptr;
    QCheckBox* chkCliente = nullptr;
    QCheckBox* chkUbicacion = nullptr;
    QCheckBox* chkTecnico = nullptr;
    QGroupBox* FrmPrincipal = nullptr;
    QGroupBox* frmCampos = nullptr;
    QStatusBar* sbStatusBar = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CmbTG_Click();
    void txtfields_GotFocus(int index);
    void txtfields_KeyDown(int index, int& keyCode);
    int indexOf(QObject* field) const;
    void setFieldColour(QLineEdit* field, bool focused);
    void enfocaPrimerCampo();
    void recuperaFoco(QLineEdit* field);

    QVariant hayError_;  // empty until a field is validated
    qint16 indiceActivo_ = 0;
    QLineEdit* campoActivo_ = nullptr;
    bool generando_ = false;
};
