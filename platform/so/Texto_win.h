#pragma once

#include <string>

// The Windows side speaks UTF-16; the layer's callers UTF-8.
namespace so {

std::wstring ancho(const std::string& utf8);
// A path with Windows's own separators.
std::wstring rutaAncha(const std::string& ruta);
std::string utf8(const std::wstring& texto);

}  // namespace so
