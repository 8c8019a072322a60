#include "platform/so/Texto_win.h"

#include <windows.h>

#include <algorithm>

namespace so {

std::wstring ancho(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::wstring rutaAncha(const std::string& ruta) {
    std::wstring w = ancho(ruta);
    std::replace(w.begin(), w.end(), L'/', L'\\');
    return w;
}

std::string utf8(const std::wstring& texto) {
    if (texto.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, texto.data(), static_cast<int>(texto.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, texto.data(), static_cast<int>(texto.size()), s.data(), n,
                        nullptr, nullptr);
    return s;
}

}  // namespace so
