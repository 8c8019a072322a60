#pragma once

namespace platform::parada {

// A run without windows stopped from outside (SIGTERM, Ctrl+C, a closed terminal) stops as its
// banner's Cancelar would: what it is writing is cancelled and the partial file removed, the
// schedule stays old or new but whole, and the exit status says which signal stopped it.

// Installs the handlers; each only notes the signal, which the run reads where it can stop. A run
// that has not stopped by itself 15 seconds later (busy where it cannot look), or that gets a
// second signal, ends at once with the same status; what it left is removed by the next run.
void instalaPorSenales();

// The number of the signal that asked the run to stop, 0 while none has.
int senal();

// Notes a request to stop as a signal would (tests, and the handlers themselves).
void pide(int numero);

}  // namespace platform::parada
