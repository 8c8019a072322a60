#pragma once

// The program's today fixed to a day the test names, for as long as the object lives: a test
// states its date instead of depending on the day, or the minute before midnight, it runs in.

#include <QDate>

#include "platform/Hoy.h"

class HoyFijado {
  public:
    explicit HoyFijado(const QDate& dia) { platform::fijaHoyParaPruebas(dia); }
    ~HoyFijado() { platform::fijaHoyParaPruebas(std::nullopt); }
    HoyFijado(const HoyFijado&) = delete;
    HoyFijado& operator=(const HoyFijado&) = delete;
};
