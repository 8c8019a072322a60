#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

#include "lookup/TextosColumna.h"

// The rows of the list lookup window: texts by column, a check state and an optional colour per
// row. The texts of a column lie one after another (TextosColumna), so that a million rows cost
// their characters rather than a string each. Rows are kept in the order they were read; the
// list shows them through an order of their own, which a sort rearranges.
class ListaConsulta : public QAbstractTableModel {
    Q_OBJECT
  public:
    // A row as it is handed in.
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
    // A row at once in the list (in its sorted place when the list is sorted).
    void agrega(const Fila& fila);
    // Rows read in a stretch are kept with `acumula` and join the list together with `incorpora`,
    // which tells the views once.
    void acumula(const Fila& fila);
    void incorpora();
    std::size_t pendientes() const { return guardadas_ - orden_.size(); }

    // Rows by their place in the list (from 0), columns from 0.
    QString celda(int fila, int columna) const;
    bool marcada(int fila) const;
    std::optional<QColor> color(int fila) const;
    void ponCelda(int fila, int columna, const QString& texto);
    // Every check mark flips; every row unchecked, also the rows still to come.
    void invierteMarcas();
    void desmarcaTodas();

    // The first row (from 0) whose column starts with the text, trimmed, without regard to case;
    // an empty text matches the first row; -1 when none.
    int busca(int columna, const QString& texto) const;
    // Sorts by a column, the rows keeping their order among equals; a view's current and
    // selected rows stay on their rows. Rows that join later go to their sorted places.
    void ordena(int columna, Qt::SortOrder orden);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

  private:
    // A column's texts case-folded, kept for the columns the list is sorted and searched by.
    struct Plegada {
        int columna = -1;
        TextosColumna textos;
    };

    QStringView texto(std::size_t guardada, int columna) const;  // by the order of reading
    const TextosColumna& plegada(int columna) const;
    void pliegaHasta(Plegada& p) const;  // folds the rows the copy does not hold yet
    bool menor(const TextosColumna& claves, int a, int b) const;
    // The list's order becomes `nuevas`, which gets the old one.
    void reordena(std::vector<int>& nuevas);
    void mezclaNuevas(std::size_t desde);  // the rows from `desde` on into their places
    void vaciaFilas();

    QStringList titulos_;
    bool casillas_ = false;
    std::vector<TextosColumna> textos_;  // by column
    std::vector<quint8> marcas_;         // by the order of reading
    std::vector<QRgb> colores_;          // empty while no row has a colour; 0 for none
    QHash<quint64, QString> cambiadas_;  // cells written after reading, by row and column
    bool marcasIniciales_ = true;        // false once every row was unchecked
    std::vector<int> orden_;             // the list's rows: positions in the order of reading
    std::vector<int> lugar_;             // and back: the list's row of each row read
    std::size_t guardadas_ = 0;          // rows kept, in the list or about to join it
    std::optional<int> columnaOrden_;    // the column the list is sorted by
    bool permutada_ = false;             // the list's order is no longer the order of reading
    Qt::SortOrder sentido_ = Qt::AscendingOrder;
    std::vector<int> mezcla_;                // room for the next merge
    mutable std::vector<Plegada> plegadas_;  // the sort column's
};
