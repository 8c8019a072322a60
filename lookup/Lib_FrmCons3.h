#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Variant.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class ListaConsulta;
class LecturaConsulta;
namespace ado {
class Recordset;
}

// The list lookup window: the rows of a statement in a list with one search box above each
// column; the user jumps to a row by typing its beginning, sorts by a column, checks rows when
// check boxes are on, and accepts or cancels. The caller sets the properties, calls Carga and
// shows it modally, then reads ValorDevuelto and Valores. Carga reads the first rows; the rest
// come in while the window is shown, and what needs every row (a sort, Marcar, accepting checked
// rows, F12, a search that finds nothing yet) reads them first.
class Lib_FrmCons3 : public QDialog {
    Q_OBJECT
  public:
    explicit Lib_FrmCons3(QWidget* parent = nullptr);
    ~Lib_FrmCons3() override;

    platform::Variant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    QString SQL;
    QString CampoDevuelto;
    std::optional<QStringList> CmpsDevueltos;
    bool CheckBoxes = false;
    QString gConnString;
    platform::Variant ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    std::optional<QStringList> Valores;
    std::optional<QStringList> Cantidades;
    bool UsaCantidades = false;
    QString ValoresDefault;
    bool CfgUsaConsultaLIKE = false;
    bool GrabarCfg = false;
    bool UsarUDBC = false;

    // Loading: runs the statement and fills the list with its first rows (an empty statement
    // only prepares it).
    void Carga();
    // The position (from 1) of the first row whose column `clave` (0 = the first) starts with
    // the text; 0 when none, after every row was read.
    int Busqueda(int clave, const QString& queValor);
    // The position (from 1) of the column with this caption; 0 when none.
    int IndiceColumna(const QString& columna) const;
    void Aceptar();
    void Cancelar();
    // Every row unchecked (the request does it after loading a list with check boxes).
    void DesmarcaTodo();
    // An option list without a statement: one column captioned `titulo`, a row per text
    // (checked when `marcadas` says so), the window as wide as its longest text allows.
    void MuestraOpciones(const QString& titulo, const QStringList& textos,
                         const std::vector<bool>& marcadas);

    QString tabla() const { return tabla_; }
    ListaConsulta& lista() const { return *lista_; }
    QComboBox* CmbSearch(int k) const;
    int cantidadCajas() const { return static_cast<int>(cajas_.size()); }

    QLabel* Label1 = nullptr;
    QWidget* picFields = nullptr;  // the search boxes over the list
    QWidget* Frame1 = nullptr;     // the button strip
    QTableView* ListView1 = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdNueva = nullptr;
    QPushButton* CmdNuevo = nullptr;
    QPushButton* CmdTodos = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void encolumnar(const std::vector<std::pair<QString, int>>& campos);
    void nuevaBusquedaEn(int k);                // F5 in search box k
    void empiezaDeNuevo();                      // CmdNueva
    void marcaTodos();                          // CmdTodos: every check mark flips
    void aplicaAnchos();                        // the stored widths of this table
    void nuevoRegistro();                       // CmdNuevo: the maintenance program of the table
    void informaFaltante();                     // F12 in an article list
    void cantidad(int tecla, bool mayusculas);  // Insert, Shift+Insert, Delete
    void guardaAnchos();                        // when GrabarCfg is set
    void alineaCajas();
    void disponControles();  // the places of the controls for the window's size
    void disponBotones(int W, int y, int bw, int bh);
    int anchoBoton() const;            // the width of every button of the strip
    void ajustaAnchoMinimo();          // no narrower than the strip's buttons need
    void muestraOrden(bool ordenada);  // the header's sort arrow
    void busquedaLocal(int k);
    // The row chosen by the window, and how: the first row (caja -1) or the first that search
    // box `caja` finds. While the user chooses no other, rows that come in later keep to it.
    void eligeFila(int fila, int caja);
    void alLlegarFilas();
    // The recordset's rows into the list: the first ones now, the others from the event loop.
    void leePrimeras(std::shared_ptr<ado::Recordset>& rs);
    void ordenaPor(int columna);
    QString valorEn(int fila, int columna) const;  // column from 1
    QComboBox* nuevaCaja(int k);

    ListaConsulta* lista_ = nullptr;
    LecturaConsulta* lectura_ = nullptr;
    QPersistentModelIndex elegida_;
    int buscadaEn_ = -1;
    QWidget* filaCajas_ = nullptr;
    std::vector<QComboBox*> cajas_;
    int ultimaCaja_ = 0;
    int columnaOrden_ = 0;
    Qt::SortOrder orden_ = Qt::AscendingOrder;
    bool articulos_ = false;
    QString tabla_;
    QString sentenciaBase_;
    QString sentenciaInicial_;
};
