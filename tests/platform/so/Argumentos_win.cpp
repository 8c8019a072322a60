// clang-format off: the system's headers below need its types first.
#include <windows.h>
// clang-format on
#include <shellapi.h>

#include <memory>

#include "tests/platform/so/Argumentos.h"

std::vector<std::string> argumentos(int, char**) {
    int n = 0;
    const std::unique_ptr<LPWSTR, HLOCAL (*)(HLOCAL)> v(CommandLineToArgvW(GetCommandLineW(), &n),
                                                        [](HLOCAL p) { return LocalFree(p); });
    std::vector<std::string> a;
    for (int i = 0; v && i < n; ++i) {
        const int largo =
            WideCharToMultiByte(CP_UTF8, 0, v.get()[i], -1, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<std::size_t>(largo), '\0');
        WideCharToMultiByte(CP_UTF8, 0, v.get()[i], -1, s.data(), largo, nullptr, nullptr);
        s.resize(s.size() - 1);  // its terminating NUL
        a.push_back(s);
    }
    return a;
}
