#include <locale.h>

#include <clocale>
#include <string>

#include "platform/so/NumerosEnC.h"

namespace platform {

struct NumerosEnC::Estado {
    int modo = 0;
    std::string previo;
};

void NumerosEnC::fijaEnElProceso() {
    std::setlocale(LC_NUMERIC, "C");
}

NumerosEnC::NumerosEnC() : estado_(std::make_unique<Estado>()) {
    // The C runtime keeps a locale per thread only when asked: the thread's numeric category is
    // set to "C" and given back afterwards, other threads untouched.
    estado_->modo = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    if (const char* antes = std::setlocale(LC_NUMERIC, nullptr)) estado_->previo = antes;
    std::setlocale(LC_NUMERIC, "C");
}

NumerosEnC::~NumerosEnC() {
    if (!estado_->previo.empty()) std::setlocale(LC_NUMERIC, estado_->previo.c_str());
    if (estado_->modo == _DISABLE_PER_THREAD_LOCALE)
        _configthreadlocale(_DISABLE_PER_THREAD_LOCALE);
}

}  // namespace platform
