#pragma once

#include <QString>
#include <functional>

#include "report/ParametrosCronograma.h"

// What shows the progress of a generation (the banner in the window, nothing in a batch run).
class AvisoProgreso {
  public:
    virtual ~AvisoProgreso() = default;
    virtual void abre(const QString& titulo) = 0;
    virtual void muestra(const QString& linea1, const QString& linea2, const QString& linea3) = 0;
    virtual void cierra() = 0;
};

// The schedule generation and the report launch. The user's previous schedule is replaced as a
// whole: every row is written in one transaction, and a run that fails or is left keeps the
// previous rows of this computer and user exactly as they were.
class GeneradorCronograma {
  public:
    explicit GeneradorCronograma(AvisoProgreso& aviso) : aviso_(aviso) {}

    // Generation and report launch; false when the run was left (no report launched).
    bool GeneraAuxiliar(const ParametrosCronograma& p);
    // Only the generation, for the benchmark and for runs that launch no report.
    bool genera(const ParametrosCronograma& p);
    // False when the report component produced no report (it has told the user why).
    bool lanzaReporte(const ParametrosCronograma& p);

    qint64 filasEscritas() const { return filas_; }
    // How often the window may process its events and the banner repaint.
    void setIntervaloRefresco(int ms) { intervaloMs_ = ms; }
    // Rows that go out in one INSERT statement.
    void setFilasPorEnvio(int filas) { filasPorEnvio_ = filas; }

  private:
    class Corrida;  // one run of genera(): its steps and what they share

    AvisoProgreso& aviso_;
    qint64 filas_ = 0;
    int intervaloMs_ = 50;
    int filasPorEnvio_ = 250;
};

// The query of the work orders and the texts of the report launch, as the suite writes them.
QString consultaCronograma(const ParametrosCronograma& p, const QString& filtro);
QString filtroTecnicos(const ParametrosCronograma& p);
QString formulaSeleccion(const QString& pcUsuario);
QString formulaParametros(const ParametrosCronograma& p);
