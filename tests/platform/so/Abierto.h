#pragma once

#include <string>

#include "platform/so/Archivos.h"

namespace so::prueba {

// A file held open through so::abre, as the suite's readers hold one, closed when it goes.
class Abierto {
  public:
    Abierto(const std::string& ruta, so::Uso uso) : a_(so::abre(ruta, uso)) {}
    ~Abierto() { so::cierra(a_.descriptor); }
    Abierto(const Abierto&) = delete;
    Abierto& operator=(const Abierto&) = delete;

    int descriptor() const { return a_.descriptor; }

  private:
    so::Apertura a_;
};

}  // namespace so::prueba
