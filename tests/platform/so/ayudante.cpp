// so_ayudante STATUS [FILE [ARGUMENT...]]: writes every ARGUMENT, each ended by a NUL, into FILE
// (under a temporary name first, so that a reader finds it whole or not at all) and exits with
// STATUS.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/platform/so/Argumentos.h"

int main(int argc, char** argv) {
    const std::vector<std::string> a = argumentos(argc, argv);
    if (a.size() < 2) return 100;
    if (a.size() >= 3) {
        const std::filesystem::path destino(reinterpret_cast<const char8_t*>(a[2].c_str()));
        std::filesystem::path temporal = destino;
        temporal += ".parcial";
        {
            std::ofstream f(temporal, std::ios::binary);
            for (std::size_t i = 3; i < a.size(); ++i) f << a[i] << '\0';
            if (!f.flush()) return 101;
        }
        std::error_code e;
        std::filesystem::rename(temporal, destino, e);
        if (e) return 102;
    }
    return std::atoi(a[1].c_str());
}
