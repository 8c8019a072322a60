#pragma once

namespace platform::memoria {

// Set before any thread starts. Under a limit of the process's address space (ulimit -v) every
// thread's own heap would reserve a large block it cannot get, and the reading threads' every
// allocation then became a request to the system: a failing run took minutes. The threads share
// the program's heap instead.
void ajustaMonticulo();

}  // namespace platform::memoria
