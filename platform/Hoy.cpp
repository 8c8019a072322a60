#include "platform/Hoy.h"

#include <atomic>

namespace platform {

namespace {
// The julian day fixed by a test; 0 when none (no valid date has it).
std::atomic<qint64> fijado{0};
}  // namespace

QDate hoy() {
    const qint64 dia = fijado.load();
    return dia != 0 ? QDate::fromJulianDay(dia) : QDate::currentDate();
}

void fijaHoyParaPruebas(std::optional<QDate> dia) {
    fijado.store(dia && dia->isValid() ? dia->toJulianDay() : 0);
}

}  // namespace platform
