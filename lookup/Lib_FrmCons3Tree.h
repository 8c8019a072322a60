#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>
#include <unordered_map>

#include "platform/Variant.h"

class QComboBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The tree lookup window: codes that form a hierarchy shown as a tree (the article families by
// the parent the database works out, any other statement by the codes themselves: a code's
// parent is the longest code that starts it). The user picks or checks nodes and accepts.
class Lib_FrmCons3Tree : public QDialog {
    Q_OBJECT
  public:
    explicit Lib_FrmCons3Tree(QWidget* parent = nullptr);
    ~Lib_FrmCons3Tree() override;

    QString SQL;
    QString CampoDevuelto;  // "IDFAMILIA", "IDPOSICION" or "CODIGO"
    bool CheckBoxes = false;
    platform::Variant ValorDevuelto;
    std::optional<QStringList> Valores;
    std::optional<QStringList> CmpsDevueltos;

    void Carga();
    void ArmarTreeVFamilias();
    void ArmarTreeVAutomatico();
    void Aceptar();
    void Cancelar();
    // The node of a key ("A" + code; "A" is the root), nullptr when none.
    QTreeWidgetItem* nodo(const QString& clave) const;

    QTreeWidget* TreeV = nullptr;
    QComboBox* CmbSearch = nullptr;
    QPushButton* CmdAceptar = nullptr;
    QPushButton* CmdCancelar = nullptr;
    QPushButton* CmdNueva = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Adds the rows of the statement: code, description and (families) the parent's code.
    void arma(bool familias);
    // Empties the tree without a recursion as deep as the tree.
    void desarma();
    void busca();
    void nuevaBusqueda();
    void propaga(QTreeWidgetItem* item);
    QString buscaEn(const QString& tabla, const QString& columna, const QString& codigo) const;

    std::unordered_map<QString, QTreeWidgetItem*> nodos_;
    QString sentenciaBase_;
    bool propagando_ = false;
};
