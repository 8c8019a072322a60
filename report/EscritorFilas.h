#pragma once

#include <QString>
#include <vector>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "platform/Variant.h"

// Writes the rows of the schedule through prepared statements that carry several rows each
// (fewer round trips to a server). A failed send keeps its rows, so that the caller may send
// them again or drop them.
class EscritorFilas {
  public:
    // `filasPorEnvio` rows of `columnas.size()` values go out in each statement; a server takes
    // at most 2100 parameters in one.
    EscritorFilas(const ado::Connection& cnn, const QString& tabla, const QStringList& columnas,
                  int filasPorEnvio);

    // Buffers one row; sends when the buffer is full (raises what the send raises).
    void agrega(const std::vector<platform::Variant>& fila);
    // Sends what is buffered; on failure the rows stay buffered.
    void envia();
    void descarta() { pendientes_.clear(); }
    qint64 escritas() const { return escritas_; }
    std::size_t pendientes() const {
        return pendientes_.size() / static_cast<std::size_t>(columnas_);
    }

  private:
    QString sentencia(int filas) const;

    ado::Connection cnn_;
    QString cabecera_;
    int columnas_ = 0;
    int filasPorEnvio_ = 1;
    ado::Command lleno_;  // a full buffer
    ado::Command resto_;  // what is left at the end, row by row
    std::vector<platform::Variant> pendientes_;
    qint64 escritas_ = 0;
};
