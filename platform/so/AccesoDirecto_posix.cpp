#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/so/AccesoDirecto.h"
#include "platform/so/Archivos.h"
#include "platform/so/Descriptor_posix.h"

namespace so {

namespace {

// One argument of Exec, quoted as a desktop entry reads it; "%" would start a field code.
std::string citado(const std::string& argumento) {
    std::string c = "\"";
    for (const char ch : argumento) {
        if (ch == '\\' || ch == '"' || ch == '`' || ch == '$') c += '\\';
        if (ch == '%') c += '%';
        c += ch;
    }
    return c + '"';
}

bool escribeTodo(int fd, const std::string& texto) {
    std::size_t hecho = 0;
    while (hecho < texto.size()) {
        const ssize_t n = ::write(fd, texto.data() + hecho, texto.size() - hecho);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        hecho += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string archivoDeAccesoDirecto(const std::string& nombre) {
    return nombre + ".desktop";
}

bool escribeAccesoDirecto(const std::string& ruta, const AccesoDirecto& acceso) {
    std::string exec = citado(acceso.programa);
    // The parameter string is one argument: the program reads it back whole.
    if (!acceso.parametros.empty()) exec += ' ' + citado(acceso.parametros);
    const std::string entrada = "[Desktop Entry]\nType=Application\nName=" + acceso.nombre +
                                "\nExec=" + exec + "\nIcon=" + acceso.icono + "\nTerminal=false\n";
    const Apertura a = abre(ruta, Uso::Escribir);
    const Descriptor d(a.descriptor);
    if (!d.valido() || !escribeTodo(d.fd(), entrada)) return false;
    // A desktop starts only an entry that may be executed.
    struct stat st {};
    if (::fstat(d.fd(), &st) != 0) return false;
    return ::fchmod(d.fd(), (st.st_mode & 07777) | S_IXUSR | S_IXGRP | S_IXOTH) == 0;
}

}  // namespace so
