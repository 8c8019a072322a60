// What only the Windows side does, and its answers checked against what the system says
// otherwise (its environment, the shell's own reading of a link).
#include <gtest/gtest.h>
// clang-format off: the system's headers below need its types first.
#include <windows.h>
// clang-format on
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <optional>

#include "platform/so/AccesoDirecto.h"
#include "platform/so/ApartamentoCom_win.h"
#include "platform/so/Archivos.h"
#include "platform/so/Com_win.h"
#include "platform/so/Entorno.h"
#include "platform/so/Manejador_win.h"
#include "platform/so/Texto_win.h"
#include "tests/platform/so/Carpeta.h"

using namespace so::prueba;

namespace {

// Sets (or, with nothing, removes) an environment variable while alive.
class Variable {
  public:
    Variable(const wchar_t* nombre, std::optional<std::wstring> valor) : nombre_(nombre) {
        wchar_t v[32768];
        const DWORD n = GetEnvironmentVariableW(nombre, v, 32768);
        if (n > 0 && n < 32768) antes_ = std::wstring(v, n);
        SetEnvironmentVariableW(nombre, valor ? valor->c_str() : nullptr);
    }
    ~Variable() { SetEnvironmentVariableW(nombre_, antes_ ? antes_->c_str() : nullptr); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

  private:
    const wchar_t* nombre_;
    std::optional<std::wstring> antes_;
};

std::string variable(const wchar_t* nombre) {
    wchar_t v[32768];
    const DWORD n = GetEnvironmentVariableW(nombre, v, 32768);
    return n > 0 && n < 32768 ? so::utf8(std::wstring(v, n)) : std::string();
}

// A handle opened as a program that knows nothing of the suite opens a file.
so::Manejador abreCompartiendo(const std::string& ruta, DWORD compartido) {
    return so::Manejador(CreateFileW(so::rutaAncha(ruta).c_str(), GENERIC_READ, compartido, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct Enlace {
    std::string destino, argumentos, carpeta, icono;
};

// The link as the shell reads it back.
std::optional<Enlace> leeEnlace(const std::string& ruta) {
    const so::ApartamentoCom com;
    so::Com<IShellLinkW> enlace;
    so::Com<IPersistFile> archivo;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                enlace.destinoVoid())) ||
        FAILED(enlace->QueryInterface(IID_IPersistFile, archivo.destinoVoid())) ||
        FAILED(archivo->Load(so::rutaAncha(ruta).c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t destino[MAX_PATH] = {}, argumentos[4096] = {}, carpeta[MAX_PATH] = {},
            icono[MAX_PATH] = {};
    int indice = 0;
    if (FAILED(enlace->GetPath(destino, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(enlace->GetArguments(argumentos, 4096)) ||
        FAILED(enlace->GetWorkingDirectory(carpeta, MAX_PATH)) ||
        FAILED(enlace->GetIconLocation(icono, MAX_PATH, &indice)))
        return std::nullopt;
    return Enlace{so::utf8(destino), so::utf8(argumentos), so::utf8(carpeta), so::utf8(icono)};
}

std::string nativa(std::string ruta) {
    for (char& c : ruta)
        if (c == '/') c = '\\';
    return ruta;
}

}  // namespace

// What Windows allows: a file held open can be replaced only when every handle on it shares
// its deletion (the suite's readers do; many other programs do not). A holder that does not
// keeps the file as it is: the replace says so and leaves the new file where it was.
TEST(ReemplazoWin, AFileHeldWithoutSharingItsDeletionIsNotReplaced) {
    struct Caso {
        const char* nombre;
        DWORD compartido;
        bool reemplaza;
    } casos[] = {
        {"shared for reading and writing only", FILE_SHARE_READ | FILE_SHARE_WRITE, false},
        {"shared for deletion too", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
    };
    for (const Caso& c : casos) {
        Carpeta d;
        const std::string destino = d.ruta("informe.pdf"), nuevo = d.ruta("nuevo");
        escribe(destino, "viejo");
        escribe(nuevo, "nuevo");
        {
            const so::Manejador visor = abreCompartiendo(destino, c.compartido);
            ASSERT_TRUE(visor) << c.nombre;
            EXPECT_EQ(so::reemplaza(nuevo, destino), c.reemplaza) << c.nombre;
        }
        EXPECT_EQ(lee(destino), c.reemplaza ? "nuevo" : "viejo") << c.nombre;
        EXPECT_EQ(existe(nuevo), !c.reemplaza) << c.nombre;
        EXPECT_EQ(d.nombres().size(), c.reemplaza ? 1u : 2u) << c.nombre << ": nothing else";
    }
}

// Windows answers for every process: a handle of any program counts, not only this one's.
TEST(AbiertosWin, AHandleOfAnyKindHoldsTheFileOpen) {
    Carpeta d;
    const std::string ruta = d.ruta("base.db");
    escribe(ruta, "x");
    for (const DWORD compartido :
         {DWORD(0), DWORD(FILE_SHARE_READ), DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE),
          DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)}) {
        {
            const so::Manejador h = abreCompartiendo(ruta, compartido);
            ASSERT_TRUE(h) << compartido;
            EXPECT_TRUE(so::estaAbierto(ruta)) << compartido;
        }
        EXPECT_FALSE(so::estaAbierto(ruta)) << compartido;
    }
}

TEST(AccesoDirectoWin, TheShellReadsBackTheProgramItsParameterStringAndTheProgramsIcon) {
    Carpeta d;
    std::filesystem::create_directory(camino(d.ruta("Mis Programas ñ")));
    const so::AccesoDirecto acceso{"Belmo Tareas", d.ruta("Mis Programas ñ/cronequipo.exe"),
                                   "@Server=sqlite;@DbName=GESTIÓN;@Usuario=José;",
                                   d.ruta("Mis Programas ñ/vorlane.ico")};
    escribe(acceso.programa, "MZ");
    escribe(acceso.icono, "");
    const std::string ruta = d.ruta(so::archivoDeAccesoDirecto("Belmo Tareas"));
    EXPECT_EQ(ruta, d.ruta("Belmo Tareas.lnk"));
    ASSERT_TRUE(so::escribeAccesoDirecto(ruta, acceso));
    const auto enlace = leeEnlace(ruta);
    ASSERT_TRUE(enlace.has_value());
    EXPECT_EQ(enlace->destino, nativa(acceso.programa));
    EXPECT_EQ(enlace->argumentos, acceso.parametros);
    EXPECT_EQ(enlace->carpeta, nativa(d.ruta("Mis Programas ñ")) + "\\");
    EXPECT_EQ(enlace->icono, nativa(acceso.programa));
}

TEST(EntornoWin, TheTemporaryFolderIsTheOneTheEnvironmentNames) {
    Carpeta d;
    const Variable tmp(L"TMP", so::rutaAncha(d.ruta()) + L"\\");
    EXPECT_EQ(so::carpetaTemporal(), nativa(d.ruta()));
}

TEST(EntornoWin, TheNamesAreTheOnesTheSessionWasGiven) {
    const struct {
        const char* nombre;
        std::string dado, esperado;
    } nombres[] = {
        {"COMPUTERNAME", so::nombreEquipo(), variable(L"COMPUTERNAME")},
        {"USERNAME", so::nombreUsuario(), variable(L"USERNAME")},
    };
    for (const auto& n : nombres) {
        EXPECT_FALSE(n.dado.empty()) << n.nombre;
        EXPECT_EQ(n.dado, n.esperado) << n.nombre;
    }
}

TEST(EntornoWin, TheDesktopIsAFolderOfTheUsersProfile) {
    const std::string escritorio = so::carpetaEscritorio();
    EXPECT_TRUE(std::filesystem::is_directory(camino(escritorio))) << escritorio;
    const std::string perfil = variable(L"USERPROFILE");
    ASSERT_FALSE(perfil.empty());
    EXPECT_EQ(escritorio.rfind(perfil, 0), 0u) << escritorio << " is not under " << perfil;
}
