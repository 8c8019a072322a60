#include <errno.h>
#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/so/Procesos.h"

extern char** environ;

namespace so {

namespace {

// The argument vector execve wants, pointing into `argumentos`, which outlive it.
std::vector<char*> vectorDe(const std::string& programa,
                            const std::vector<std::string>& argumentos) {
    std::vector<char*> v;
    v.reserve(argumentos.size() + 2);
    v.push_back(const_cast<char*>(programa.c_str()));
    for (const std::string& a : argumentos) v.push_back(const_cast<char*>(a.c_str()));
    v.push_back(nullptr);
    return v;
}

std::optional<pid_t> lanza(const std::string& programa, const std::vector<std::string>& argumentos,
                           bool sesionPropia) {
    posix_spawnattr_t atributos;
    if (posix_spawnattr_init(&atributos) != 0) return std::nullopt;
    // One left running on its own is not stopped with the program's terminal.
    if (sesionPropia) posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSID);
    std::vector<char*> argv = vectorDe(programa, argumentos);
    pid_t pid = 0;
    const int r = posix_spawnp(&pid, programa.c_str(), nullptr, &atributos, argv.data(), environ);
    posix_spawnattr_destroy(&atributos);
    if (r != 0) return std::nullopt;
    return pid;
}

int esperaA(pid_t pid) {
    int estado = 0;
    pid_t r = 0;
    do {
        r = ::waitpid(pid, &estado, 0);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    if (WIFSIGNALED(estado)) return 128 + WTERMSIG(estado);
    return WEXITSTATUS(estado);
}

}  // namespace

std::optional<int> ejecutaYEspera(const std::string& programa,
                                  const std::vector<std::string>& argumentos) {
    const auto pid = lanza(programa, argumentos, false);
    if (!pid) return std::nullopt;
    return esperaA(*pid);
}

std::optional<std::int64_t> inicia(const std::string& programa,
                                   const std::vector<std::string>& argumentos) {
    const auto pid = lanza(programa, argumentos, true);
    if (!pid) return std::nullopt;
    // Its end is collected by a thread of its own, so that no finished child stays a zombie;
    // the thread goes with the child, or with the program.
    std::thread([p = *pid] { esperaA(p); }).detach();
    return static_cast<std::int64_t>(*pid);
}

std::string rutaDelPrograma() {
    char ruta[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", ruta, sizeof ruta);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof ruta) return {};
    return std::string(ruta, static_cast<std::size_t>(n));
}

}  // namespace so
