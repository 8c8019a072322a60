#pragma once

#include "report/GeneradorCronograma.h"

// The generation's progress on the shared banner.
class AvisoBanner : public AvisoProgreso {
  public:
    void abre(const QString& titulo) override;
    void muestra(const QString& linea1, const QString& linea2, const QString& linea3) override;
    void cierra() override;
};

// A run without windows shows no progress.
class AvisoMudo : public AvisoProgreso {
  public:
    void abre(const QString&) override {}
    void muestra(const QString&, const QString&, const QString&) override {}
    void cierra() override {}
};
