#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

#include "platform/so/Parada.h"

namespace platform::parada {

namespace {

volatile std::sig_atomic_t pedida = 0;

// A run busy where it cannot look at the stop (a long statement) still ends soon: the run
// has this long to stop by itself, and a second signal ends it at once.
constexpr unsigned kPlazoSegundos = 15;

extern "C" void alRecibir(int numero) {
    if (pedida != 0) _exit(128 + pedida);
    // Only the first signal counts: it names the stop.
    pedida = numero;
    alarm(kPlazoSegundos);
}

extern "C" void alVencer(int) {
    _exit(128 + pedida);
}

}  // namespace

void instalaPorSenales() {
    struct sigaction accion {};
    accion.sa_handler = alRecibir;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &accion, nullptr);
    struct sigaction vence {};
    vence.sa_handler = alVencer;
    sigemptyset(&vence.sa_mask);
    sigaction(SIGALRM, &vence, nullptr);
}

int senal() {
    return pedida;
}

void pide(int numero) {
    if (pedida == 0) pedida = numero;
}

}  // namespace platform::parada
