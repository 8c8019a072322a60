// clang-format off: the system's headers below need its types first.
#include <windows.h>
// clang-format on
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "platform/so/AccesoDirecto.h"
#include "platform/so/ApartamentoCom_win.h"
#include "platform/so/Com_win.h"
#include "platform/so/Texto_win.h"

namespace so {

std::string archivoDeAccesoDirecto(const std::string& nombre) {
    return nombre + ".lnk";
}

bool escribeAccesoDirecto(const std::string& ruta, const AccesoDirecto& acceso) {
    const ApartamentoCom com;
    if (!com.listo()) return false;
    Com<IShellLinkW> enlace;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                enlace.destinoVoid())))
        return false;
    const std::wstring programa = rutaAncha(acceso.programa);
    // Started in its own folder, where it finds the files it reads from there.
    std::wstring carpeta = programa.substr(0, programa.find_last_of(L'\\') + 1);
    if (FAILED(enlace->SetPath(programa.c_str())) ||
        FAILED(enlace->SetArguments(ancho(acceso.parametros).c_str())) ||
        FAILED(enlace->SetWorkingDirectory(carpeta.c_str())) ||
        FAILED(enlace->SetDescription(ancho(acceso.nombre).c_str())))
        return false;
    // The program's own icon, as the suite's other shortcuts show.
    if (FAILED(enlace->SetIconLocation(programa.c_str(), 0))) return false;
    Com<IPersistFile> archivo;
    if (FAILED(enlace->QueryInterface(IID_IPersistFile, archivo.destinoVoid()))) return false;
    return SUCCEEDED(archivo->Save(rutaAncha(ruta).c_str(), TRUE));
}

}  // namespace so
