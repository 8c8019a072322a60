#include "startup/globals/Globals.h"

namespace {
std::unique_ptr<DB_Dll>& estadisticas() {
    static std::unique_ptr<DB_Dll> db;
    return db;
}
}  // namespace

DB_Dll& gDBEstadisticas() {
    if (!estadisticas()) estadisticas() = std::make_unique<DB_Dll>();
    return *estadisticas();
}

void resetEstadisticas() {
    estadisticas().reset();
}
