#include <windows.h>

#include <atomic>

#include "platform/so/Parada.h"

namespace platform::parada {

namespace {

std::atomic<int> pedida{0};

// The console's events under the numbers the suite's scripts know from other systems.
BOOL WINAPI alRecibir(DWORD evento) {
    int numero = 15;
    if (evento == CTRL_C_EVENT || evento == CTRL_BREAK_EVENT) numero = 2;
    if (evento == CTRL_CLOSE_EVENT) numero = 1;
    pide(numero);
    return TRUE;
}

}  // namespace

void instalaPorSenales() {
    SetConsoleCtrlHandler(alRecibir, TRUE);
}

int senal() {
    return pedida.load();
}

void pide(int numero) {
    int ninguna = 0;
    pedida.compare_exchange_strong(ninguna, numero);
}

}  // namespace platform::parada
