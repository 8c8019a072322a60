#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <optional>

#include "data/db_dll/DB_Dll.h"
#include "lookup/FuenteFilas.h"

// The rows of an open recordset as the list lookup shows them: every value as trimmed text (a
// null as empty text), the row checked when its returned column's value is among the default
// values, and in article lists the colour of its stock level. The recordset is closed through
// its data-access object once read to its end or let go.
class FuenteRecordset : public FuenteFilas {
  public:
    struct Forma {
        int devuelta = -1;       // the column (from 0) whose value the default values check
        QString valoresDefault;  // checked values, when the rows have check boxes
        bool casillas = false;
        // The colours of the four stock levels, when article rows are coloured.
        std::optional<std::array<QColor, 4>> niveles;
    };

    FuenteRecordset(DB_Dll& db, DB_Dll::Recordset rs, Forma forma);
    ~FuenteRecordset() override;
    FuenteRecordset(const FuenteRecordset&) = delete;
    FuenteRecordset& operator=(const FuenteRecordset&) = delete;

    bool siguiente(ListaConsulta::Fila& fila) override;
    void suelta() override;

  private:
    void llena(ListaConsulta::Fila& fila);
    std::optional<QColor> colorDeFila();

    DB_Dll& db_;
    DB_Dll::Recordset rs_;
    Forma forma_;
    bool tomada_ = false;   // the current row was handed out: the next one comes first
    int puntoPedido_ = -1;  // the fields the stock level is worked out from, -1 when missing
    int stock_ = -1;
};
