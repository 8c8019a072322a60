#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Starting other programs. Each argument reaches the program as it is given: no shell reads it.
namespace so {

// Starts `programa` (a path, or a name looked for in PATH) and waits for its end: its exit
// status (128 + the signal's number for one ended by a signal), nothing when it did not start.
std::optional<int> ejecutaYEspera(const std::string& programa,
                                  const std::vector<std::string>& argumentos);

// Starts `programa` on its own, without waiting: its process identifier, nothing when it did not
// start. It outlives the program; nothing of it is left behind when it ends first.
std::optional<std::int64_t> inicia(const std::string& programa,
                                   const std::vector<std::string>& argumentos);

// The running executable's full path.
std::string rutaDelPrograma();

}  // namespace so
