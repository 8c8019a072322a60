#include <errno.h>
#include <langinfo.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/so/Archivos.h"
#include "platform/so/Descriptor_posix.h"
#include "platform/so/Entorno.h"

namespace so {

namespace {

// A settings file far larger than any real one is not read: the usual folder then.
constexpr std::int64_t kMaximoAjustes = std::int64_t(1) << 20;

std::string variable(const char* nombre) {
    const char* v = std::getenv(nombre);
    return v ? std::string(v) : std::string();
}

// The process's account in the user database: its name and its home folder, when it has one.
struct Cuenta {
    std::string nombre, casa;
};

std::optional<Cuenta> cuenta() {
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* encontrado = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &encontrado) != 0 || !encontrado)
        return std::nullopt;
    return Cuenta{encontrado->pw_name, encontrado->pw_dir};
}

std::string casa() {
    std::string h = variable("HOME");
    if (!h.empty()) return h;
    const auto c = cuenta();
    return c ? c->casa : "/";
}

// The whole of a settings file, through the one reader of files (never a FIFO, never waiting);
// "" when it cannot be read whole.
std::string leeAjustes(const std::string& ruta) {
    const Apertura a = abre(ruta, Uso::Leer);
    const Descriptor d(a.descriptor);
    if (!d.valido() || a.tamano > kMaximoAjustes) return {};
    std::string texto;
    char trozo[4096];
    for (;;) {
        const ssize_t n = ::read(d.fd(), trozo, sizeof trozo);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {};
        if (n == 0) return texto;
        texto.append(trozo, static_cast<std::size_t>(n));
        // Also when it grows while it is read.
        if (static_cast<std::int64_t>(texto.size()) > kMaximoAjustes) return {};
    }
}

bool blanco(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The value of XDG_DESKTOP_DIR="…" in the text of user-dirs.dirs, nothing when no line sets it.
std::optional<std::string> escritorioDe(const std::string& texto) {
    static constexpr std::string_view kClave = "XDG_DESKTOP_DIR";
    std::size_t inicio = 0;
    while (inicio < texto.size()) {
        std::size_t fin = texto.find('\n', inicio);
        if (fin == std::string::npos) fin = texto.size();
        const std::string_view linea(texto.data() + inicio, fin - inicio);
        inicio = fin + 1;
        std::size_t i = 0;
        while (i < linea.size() && blanco(linea[i])) ++i;
        if (linea.substr(i, kClave.size()) != kClave) continue;
        i += kClave.size();
        while (i < linea.size() && blanco(linea[i])) ++i;
        if (i >= linea.size() || linea[i] != '=') continue;
        ++i;
        while (i < linea.size() && blanco(linea[i])) ++i;
        if (i >= linea.size() || linea[i] != '"') continue;
        const std::size_t cierre = linea.find('"', i + 1);
        if (cierre == std::string_view::npos) continue;
        return std::string(linea.substr(i + 1, cierre - i - 1));
    }
    return std::nullopt;
}

}  // namespace

std::string carpetaEscritorio() {
    const std::string home = casa();
    std::string config = variable("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    auto d = escritorioDe(leeAjustes(config + "/user-dirs.dirs"));
    if (!d) return home + "/Desktop";
    for (std::size_t p = d->find("$HOME"); p != std::string::npos; p = d->find("$HOME", p)) {
        d->replace(p, 5, home);
        p += home.size();
    }
    return *d;
}

std::string carpetaTemporal() {
    std::string t = variable("TMPDIR");
    if (t.empty()) return "/tmp";
    while (t.size() > 1 && t.back() == '/') t.pop_back();
    return t;
}

std::string nombreEquipo() {
    char nombre[HOST_NAME_MAX + 1] = {};
    if (::gethostname(nombre, sizeof nombre - 1) != 0) return {};
    return nombre;
}

std::string nombreUsuario() {
    const auto c = cuenta();
    return c ? c->nombre : std::string();
}

void preparaCarpetaDeEjecucion() {
    if (!variable("XDG_RUNTIME_DIR").empty()) return;
    const std::string carpeta = "/tmp/runtime-" + std::to_string(::getuid());
    ::mkdir(carpeta.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", carpeta.c_str(), 1);
}

void aseguraCaracteresUtf8() {
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace so
