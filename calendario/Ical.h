#pragma once

#include <libical/ical.h>

#include <memory>

// Owners of what libical hands out: a component tree (freed whole from its root) and the text
// the *_r serialisers allocate.
namespace calendario {

struct LiberaComponente {
    void operator()(icalcomponent* c) const noexcept { icalcomponent_free(c); }
};
using Componente = std::unique_ptr<icalcomponent, LiberaComponente>;

struct LiberaTexto {
    void operator()(char* s) const noexcept { icalmemory_free_buffer(s); }
};
using TextoIcal = std::unique_ptr<char, LiberaTexto>;

}  // namespace calendario
