#include <windows.h>

#include <string>

#include "platform/so/Manejador_win.h"
#include "platform/so/Procesos.h"
#include "platform/so/Texto_win.h"

namespace so {

namespace {

// One argument as the C run-time of the started program splits its command line back: quotes
// around it when it has blanks or quotes, a quote inside escaped, and the backslashes before a
// quote doubled.
std::wstring citado(const std::wstring& a) {
    if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) return a;
    std::wstring c = L"\"";
    std::size_t barras = 0;
    for (const wchar_t ch : a) {
        if (ch == L'\\') {
            ++barras;
            continue;
        }
        c.append(ch == L'"' ? barras * 2 + 1 : barras, L'\\');
        barras = 0;
        c += ch;
    }
    c.append(barras * 2, L'\\');
    return c + L'"';
}

struct Lanzado {
    HANDLE proceso = nullptr;  // the caller's to close; none when nothing started
    DWORD id = 0;
};

// The program's own name is read without escapes: only quoted.
Lanzado lanza(const std::string& programa, const std::vector<std::string>& argumentos) {
    std::wstring linea = L"\"" + rutaAncha(programa) + L"\"";
    for (const std::string& a : argumentos) linea += L' ' + citado(ancho(a));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, linea.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        nullptr, nullptr, &si, &pi))
        return {};
    const Manejador hilo(pi.hThread);
    return {pi.hProcess, pi.dwProcessId};
}

}  // namespace

std::optional<int> ejecutaYEspera(const std::string& programa,
                                  const std::vector<std::string>& argumentos) {
    const Lanzado l = lanza(programa, argumentos);
    const Manejador proceso(l.proceso);
    if (!proceso) return std::nullopt;
    if (WaitForSingleObject(proceso.get(), INFINITE) != WAIT_OBJECT_0) return -1;
    DWORD codigo = 0;
    if (!GetExitCodeProcess(proceso.get(), &codigo)) return -1;
    return static_cast<int>(codigo);
}

std::optional<std::int64_t> inicia(const std::string& programa,
                                   const std::vector<std::string>& argumentos) {
    const Lanzado l = lanza(programa, argumentos);
    // Closing the handle leaves the program running and nothing of it behind once it ends.
    const Manejador proceso(l.proceso);
    if (!proceso) return std::nullopt;
    return static_cast<std::int64_t>(l.id);
}

std::string rutaDelPrograma() {
    std::wstring ruta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
        if (n == 0) return {};
        if (n < ruta.size()) {
            ruta.resize(n);
            return utf8(ruta);
        }
        ruta.resize(ruta.size() * 2);
    }
}

}  // namespace so
