#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/so/Archivos.h"
#include "platform/so/Entorno.h"

namespace so::prueba {

// A UTF-8 path as the standard library takes it on either system.
inline std::filesystem::path camino(const std::string& utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string texto(const std::filesystem::path& p) {
    const std::u8string u = p.u8string();
    return std::string(reinterpret_cast<const char*>(u.data()), u.size());
}

inline void escribe(const std::string& ruta, const std::string& contenido) {
    std::ofstream f(camino(ruta), std::ios::binary | std::ios::trunc);
    f << contenido;
}

// The whole file; "" when there is none.
inline std::string lee(const std::string& ruta) {
    std::ifstream f(camino(ruta), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline bool existe(const std::string& ruta) {
    std::error_code e;
    return std::filesystem::exists(camino(ruta), e);
}

// A folder of its own under the system's temporary folder, with an accent in its name, removed
// with what it holds when it goes.
class Carpeta {
  public:
    Carpeta() {
        std::random_device azar;
        ruta_ = so::carpetaTemporal() + "/so-prueba-ñ-" + std::to_string(azar());
        std::filesystem::create_directories(camino(ruta_));
    }
    ~Carpeta() {
        std::error_code e;  // whatever cannot be removed stays in the temporary folder
        std::filesystem::remove_all(camino(ruta_), e);
    }
    Carpeta(const Carpeta&) = delete;
    Carpeta& operator=(const Carpeta&) = delete;

    const std::string& ruta() const { return ruta_; }
    std::string ruta(const std::string& nombre) const { return ruta_ + "/" + nombre; }

    // The names it holds, sorted.
    std::vector<std::string> nombres() const {
        std::vector<std::string> n;
        for (const auto& e : std::filesystem::directory_iterator(camino(ruta_)))
            n.push_back(texto(e.path().filename()));
        std::sort(n.begin(), n.end());
        return n;
    }

  private:
    std::string ruta_;
};

}  // namespace so::prueba
