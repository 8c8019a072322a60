// clang-format off: the system's headers below need its types first.
#include <windows.h>
// clang-format on
#include <lmcons.h>
#include <shlobj.h>

#include <memory>

#include "platform/so/Entorno.h"
#include "platform/so/Texto_win.h"

namespace so {

namespace {

std::string sinSeparadorFinal(std::wstring ruta) {
    while (ruta.size() > 3 && (ruta.back() == L'\\' || ruta.back() == L'/')) ruta.pop_back();
    return utf8(ruta);
}

}  // namespace

std::string carpetaEscritorio() {
    PWSTR ruta = nullptr;
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &ruta);
    // The shell's memory, also when the call failed.
    const std::unique_ptr<wchar_t, void (*)(void*)> libera(ruta, CoTaskMemFree);
    if (FAILED(hr) || !ruta) return {};
    return sinSeparadorFinal(ruta);
}

std::string carpetaTemporal() {
    wchar_t ruta[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, ruta);
    if (n == 0 || n > MAX_PATH) return {};
    return sinSeparadorFinal(std::wstring(ruta, n));
}

std::string nombreEquipo() {
    wchar_t nombre[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(nombre, &n)) return {};
    return utf8(std::wstring(nombre, n));
}

std::string nombreUsuario() {
    wchar_t nombre[UNLEN + 1];
    DWORD n = UNLEN + 1;
    if (!GetUserNameW(nombre, &n) || n == 0) return {};
    return utf8(std::wstring(nombre, n - 1));  // n counted the terminating NUL
}

// Windows gives every program its own place for such files.
void preparaCarpetaDeEjecucion() {}

void aseguraCaracteresUtf8() {}

}  // namespace so
