#include <locale.h>

#include <clocale>

#include "platform/so/NumerosEnC.h"

namespace platform {

struct NumerosEnC::Estado {
    locale_t previo = nullptr;
    locale_t propio = nullptr;
};

void NumerosEnC::fijaEnElProceso() {
    std::setlocale(LC_NUMERIC, "C");
}

NumerosEnC::NumerosEnC() {
    // The thread's current locale with only its numbers made "C": dates and texts unchanged.
    const locale_t actual = uselocale(static_cast<locale_t>(nullptr));
    const locale_t base = duplocale(actual);
    if (!base) return;
    const locale_t c = newlocale(LC_NUMERIC_MASK, "C", base);
    if (!c) {
        freelocale(base);
        return;
    }
    estado_ = std::make_unique<Estado>();
    estado_->propio = c;
    estado_->previo = uselocale(c);
}

NumerosEnC::~NumerosEnC() {
    if (!estado_) return;
    uselocale(estado_->previo);
    freelocale(estado_->propio);
}

}  // namespace platform
