#include <signal.h>

#include <csignal>
#include <initializer_list>

#include "platform/Parada.h"

namespace platform::parada {

namespace {

volatile std::sig_atomic_t pedida = 0;

extern "C" void alRecibir(int numero) {
    // Only the first signal counts: it names the stop.
    if (pedida == 0) pedida = numero;
}

}  // namespace

void instalaPorSenales() {
    struct sigaction accion {};
    accion.sa_handler = alRecibir;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &accion, nullptr);
}

int senal() {
    return pedida;
}

void pide(int numero) {
    if (pedida == 0) pedida = numero;
}

}  // namespace platform::parada
