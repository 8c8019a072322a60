#pragma once

#include "lookup/ListaConsulta.h"

// Where the list lookup reads its rows from, one at a time in the order they come. A source may
// hold a database read open; it lets go of it once the last row is read or when told to.
class FuenteFilas {
  public:
    virtual ~FuenteFilas() = default;
    // Fills `fila` with the next row (the cells it held are replaced); false once no row is left,
    // and from then on the source holds nothing open. A failure leaves the row unread.
    virtual bool siguiente(ListaConsulta::Fila& fila) = 0;
    // Ends the reading where it is: what the source holds open is closed, the rows not read are
    // not read.
    virtual void suelta() = 0;
};
