#pragma once

#include <QString>

// The shared lookup object. The start-up gives it the connection and the quick-lookup file;
// the lookup windows come with their own module.
class Lib_ClsCons3 {
  public:
    QString gConnString;
    bool gUsarMascarasConsultas = false;
    QString gRutaMascaraConsultas;
};

Lib_ClsCons3& gConsulta();
