#pragma once

#include <QDialog>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The connection dialog: the registered connections of "BASES.TXT" on the left, the server,
// database, user, password, port and platform on the right. The caller fills the fields, shows
// it modally and reads Aceptar and the fields back.
class frmAcceso : public QDialog {
    Q_OBJECT
  public:
    explicit frmAcceso(QWidget* parent = nullptr);

    bool Aceptar = false;

    // Loading: centred on the screen, the list filled, the prompts in the empty boxes.
    void Carga();
    void llenarlist();
    void AsignarDatosBase();
    // Selects the listed entry of this key, which fills the fields; false when it is not listed.
    bool eligeEntrada(const QString& clave);
    // The box's prompt, shown while the box is empty; a box holding only blanks or the prompt's
    // own text is emptied.
    void MensajeInicial(QLineEdit* ObjTxt);
    QString archivoBases() const { return archivo_; }
    // The server as the connection is to take it: "host,port" with the port of its box when the
    // chosen entry gave that port or the user typed it, and the server names no port of its own
    // (a port an earlier entry left in the box is not the chosen server's). The
    // window's first "1433", never touched, is no choice: another server's driver would be sent
    // to SQL Server's port.
    QString servidorConPuerto() const;
    // "Registrar": the typed connection added to BASES.TXT when it is new and the server takes it.
    void CmdRegistrar_Click();
    // "Crear Acceso Directo": a shortcut that starts this program with its parameter string,
    // "Belmo Tareas.desktop" (Windows: "Belmo Tareas.lnk") in the user's desktop folder; a second
    // click replaces it. False, after a message, on failure.
    bool CmdLineaComando_Click();
    // The desktop folder (so::carpetaEscritorio), with "/" between its parts.
    static QString carpetaEscritorio();
    // Starts a command and waits for it while the window keeps painting; false and
    // "Error al ejecutar el comando" when it cannot be started.
    static bool EjecutarCmdRegDB(const QString& archivo, QString& errDevuelto);
    // True when a connection with these values can be opened (on the shared connection object).
    static bool ExisteBaseDeDatos(const QString& servidor, const QString& base,
                                  const QString& usuario, const QString& clave,
                                  const QString& proveedor);

    QGroupBox* framAcceso = nullptr;
    QLabel* Label1_0 = nullptr;
    QLabel* Label1_1 = nullptr;
    QListWidget* lstBases = nullptr;
    QLineEdit* TxtServidor = nullptr;
    QLineEdit* TxtDbName = nullptr;
    QLineEdit* TxtUserId = nullptr;
    QLineEdit* TxtUserPassword = nullptr;
    QLineEdit* TxtPuerto = nullptr;
    QComboBox* CboPlataformaDB = nullptr;
    QPushButton* bcAceptar = nullptr;
    QPushButton* bcCancelar = nullptr;
    QPushButton* CmdRegistrar = nullptr;
    QPushButton* CmdLineaComando = nullptr;
    QLabel* lblEstado = nullptr;  // what Registrar or Crear Acceso Directo did

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString promptDe(const QLineEdit* caja) const;
    static void anchoParaPrompt(QLineEdit* caja);

    QString archivo_;
    std::optional<QString> puerto_;   // of the entry last looked up
    bool puertoDeLaEntrada_ = false;  // the chosen entry gave the port the box shows
};
