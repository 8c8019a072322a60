#pragma once

#include <QDate>
#include <optional>

namespace platform {

// Today's date wherever the program takes it as a default or compares with it (the batch mode's
// and the window's dates, "today()" in a report's formula, the date picker's start): the
// system's, unless a test has fixed it.
QDate hoy();

// Fixes the day hoy() gives, so that a test states its date (New Year's Eve, a leap day) instead
// of depending on the day it runs; none gives the system's again. Only tests call it: no option,
// variable or setting of the program reaches it.
void fijaHoyParaPruebas(std::optional<QDate> dia);

}  // namespace platform
