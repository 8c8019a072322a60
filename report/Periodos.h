#pragma once

#include <QDate>
#include <vector>

// The periods of a schedule: consecutive, covering every day from the first date to the last.
struct Periodo {
    QDate desde;
    QDate hasta;
};

// Periodicities by their position in the list of the main window.
namespace periodicidad {
constexpr int Diario = 0, Semanal = 1, Quincenal = 2, Mensual = 3, Trimestral = 4, Semestral = 5,
              Anual = 6;
}

// The end of the period that starts on `inicio`.
QDate finDePeriodo(const QDate& inicio, int periodicidad);

// Every period from `desde` to `hasta`, the last one cut at `hasta` (one single-day period when
// both are the same day; none when `desde` is after `hasta`). Raises the invalid-argument error
// for an unknown periodicity.
std::vector<Periodo> calculaPeriodos(const QDate& desde, const QDate& hasta, int periodicidad);
