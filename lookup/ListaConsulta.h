#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <optional>
#include <vector>

// The rows of the list lookup window: texts by column, a check state and an optional colour per
// row. One model over all rows, so that the cost grows with the rows read, not with widgets.
class ListaConsulta : public QAbstractTableModel {
    Q_OBJECT
  public:
    struct Fila {
        QStringList celdas;
        bool marcada = false;
        std::optional<QColor> color;
    };

    explicit ListaConsulta(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setColumnas(const QStringList& titulos);
    const QStringList& columnas() const { return titulos_; }
    void setCasillas(bool on) { casillas_ = on; }
    bool casillas() const { return casillas_; }
    void vacia();
    void agrega(Fila fila);  // rows are added at the end while loading
    const Fila& fila(int r) const { return filas_[static_cast<std::size_t>(r)]; }
    void ponCelda(int fila, int columna, const QString& texto);

    // The first row (from 0) whose column starts with the text, trimmed, without regard to case;
    // an empty text matches the first row; -1 when none.
    int busca(int columna, const QString& texto) const;
    // Sorts by a column, the rows keeping their order among equals; a view's current and
    // selected rows stay on their rows.
    void ordena(int columna, Qt::SortOrder orden);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

  private:
    QStringList titulos_;
    std::vector<Fila> filas_;
    bool casillas_ = false;
};
