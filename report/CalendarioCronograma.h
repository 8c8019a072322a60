#pragma once

#include <QString>
#include <utility>

#include "report/ParametrosCronograma.h"

// The planned visits of a schedule as calendar files: the work orders, range, technician range
// and repetition rules of the schedule's grid, one all-day event per visit, so that the visits
// of a period add up to that period's count. A file is written beside its target and put in its
// place once whole; the calendar it replaces tells which visits are gone (sent as cancelled).
class CalendarioCronograma {
  public:
    explicit CalendarioCronograma(ParametrosCronograma p) : p_(std::move(p)) {}

    // One calendar of every visit. False when it was not written, with the reason.
    bool escribe(const QString& archivo, QString* error);
    // One calendar per technician in `carpeta` (made when missing), named after the technician,
    // and one for the visits without a technician. False when any was not written.
    bool escribePorTecnico(const QString& carpeta, QString* error);

    // Either of the above; a calendar not written is told to the operator ("No se pudo
    // escribir el calendario ...") and gives false.
    bool guarda(const QString& destino, bool porTecnico);

    qint64 visitas() const { return visitas_; }
    qint64 canceladas() const { return canceladas_; }

    // The file name of a technician's calendar: the name as a file name of every system can
    // hold it, "Sin técnico" without one.
    static QString archivoDeTecnico(const QString& nombre);

  private:
    class Corrida;

    ParametrosCronograma p_;
    qint64 visitas_ = 0;
    qint64 canceladas_ = 0;
};
