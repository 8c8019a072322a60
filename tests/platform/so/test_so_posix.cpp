// What only the POSIX side does, and its answers checked against what the system says otherwise.
#include <gtest/gtest.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/so/AccesoDirecto.h"
#include "platform/so/Entorno.h"
#include "tests/platform/so/Carpeta.h"

using namespace so::prueba;

namespace {

// Sets (or, with nothing, unsets) an environment variable while alive.
class Variable {
  public:
    Variable(const char* nombre, std::optional<std::string> valor) : nombre_(nombre) {
        if (const char* v = std::getenv(nombre)) antes_ = v;
        valor ? ::setenv(nombre, valor->c_str(), 1) : ::unsetenv(nombre);
    }
    ~Variable() { antes_ ? ::setenv(nombre_, antes_->c_str(), 1) : ::unsetenv(nombre_); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

  private:
    const char* nombre_;
    std::optional<std::string> antes_;
};

// The first line a command prints.
std::string salidaDe(const char* orden) {
    std::unique_ptr<FILE, int (*)(FILE*)> p(::popen(orden, "r"), ::pclose);
    char linea[1024] = {};
    if (!p || !std::fgets(linea, sizeof linea, p.get())) return {};
    std::string s = linea;
    if (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

}  // namespace

TEST(EntornoPosix, TheDesktopIsTheOneTheUsersDirectoriesName) {
    struct Caso {
        const char* nombre;
        std::optional<std::string> dirs;  // user-dirs.dirs, none when missing
        std::string esperado;             // under the home folder
    } casos[] = {
        {"no file", std::nullopt, "/Desktop"},
        {"the usual line", "XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n", "/Escritorio"},
        {"among others, with blanks and CR LF",
         "# comentario\r\nXDG_DOWNLOAD_DIR=\"$HOME/Descargas\"\r\n  XDG_DESKTOP_DIR = "
         "\"$HOME/Mi escritorio ñ\"\r\n",
         "/Mi escritorio ñ"},
        {"commented out", "# XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n", "/Desktop"},
        {"without its quotes", "XDG_DESKTOP_DIR=$HOME/Escritorio\n", "/Desktop"},
        {"its quote left open", "XDG_DESKTOP_DIR=\"$HOME/Escritorio\n", "/Desktop"},
        {"too large to be a settings file",
         std::string(2 << 20, '#') + "\nXDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n", "/Desktop"},
    };
    for (const Caso& c : casos) {
        Carpeta casa;
        const Variable home("HOME", casa.ruta());
        const Variable config("XDG_CONFIG_HOME", casa.ruta("cfg"));
        std::filesystem::create_directory(camino(casa.ruta("cfg")));
        if (c.dirs) escribe(casa.ruta("cfg/user-dirs.dirs"), *c.dirs);
        EXPECT_EQ(so::carpetaEscritorio(), casa.ruta() + c.esperado) << c.nombre;
    }
    // An absolute folder, and the user's .config when XDG_CONFIG_HOME is not set.
    Carpeta casa;
    const Variable home("HOME", casa.ruta());
    const Variable config("XDG_CONFIG_HOME", std::nullopt);
    std::filesystem::create_directory(camino(casa.ruta(".config")));
    escribe(casa.ruta(".config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"/srv/escritorio\"\n");
    EXPECT_EQ(so::carpetaEscritorio(), "/srv/escritorio");
    // A FIFO in the file's place is not read, and does not block.
    std::filesystem::remove(camino(casa.ruta(".config/user-dirs.dirs")));
    ASSERT_EQ(::mkfifo(casa.ruta(".config/user-dirs.dirs").c_str(), 0600), 0);
    EXPECT_EQ(so::carpetaEscritorio(), casa.ruta() + "/Desktop");
}

TEST(EntornoPosix, TheTemporaryFolderIsTmpdirElseTmp) {
    const struct {
        std::optional<std::string> tmpdir;
        std::string esperado;
    } casos[] = {
        {std::nullopt, "/tmp"},
        {"", "/tmp"},
        {"/var/tmp/otra ñ", "/var/tmp/otra ñ"},
        {"/var/tmp/", "/var/tmp"},
    };
    for (const auto& c : casos) {
        const Variable v("TMPDIR", c.tmpdir);
        EXPECT_EQ(so::carpetaTemporal(), c.esperado) << c.tmpdir.value_or("(unset)");
    }
}

TEST(EntornoPosix, TheNamesAreTheOnesTheSystemGives) {
    utsname u{};
    ASSERT_EQ(::uname(&u), 0);
    EXPECT_EQ(so::nombreEquipo(), u.nodename);
    EXPECT_FALSE(so::nombreEquipo().empty());
    // Whatever the environment says (a test may have changed it): the account's own name.
    const Variable usuario("USER", "otro");
    EXPECT_EQ(so::nombreUsuario(), salidaDe("id -un"));
    EXPECT_FALSE(so::nombreUsuario().empty());
}

TEST(EntornoPosix, ARuntimeFolderOfTheUsersOwnIsNamedOnlyWhenNoneIs) {
    {
        const Variable v("XDG_RUNTIME_DIR", "/run/user/ya");
        so::preparaCarpetaDeEjecucion();
        EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), "/run/user/ya");
    }
    for (const char* antes : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        const Variable v("XDG_RUNTIME_DIR",
                         antes ? std::optional<std::string>(antes) : std::nullopt);
        so::preparaCarpetaDeEjecucion();
        const std::string esperado = "/tmp/runtime-" + std::to_string(::getuid());
        ASSERT_NE(std::getenv("XDG_RUNTIME_DIR"), nullptr);
        EXPECT_EQ(std::string(std::getenv("XDG_RUNTIME_DIR")), esperado);
        struct stat st {};
        ASSERT_EQ(::stat(esperado.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_uid, ::getuid());
    }
}

TEST(EntornoPosix, TheCharacterSetOfTheCLibraryBecomesUtf8) {
    const std::string antes = std::setlocale(LC_CTYPE, nullptr);
    for (const char* local : {"C", "C.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_CTYPE, local), nullptr) << local;
        so::aseguraCaracteresUtf8();
        EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8") << local;
    }
    std::setlocale(LC_CTYPE, antes.c_str());
}

TEST(AccesoDirectoPosix, TheDesktopEntryStartsTheProgramWithItsParameterString) {
    struct Caso {
        so::AccesoDirecto acceso;
        std::string exec;
    } casos[] = {
        {{"Belmo Tareas", "/opt/belmo/cronequipo", "", "/opt/belmo/vorlane.ico"},
         "\"/opt/belmo/cronequipo\""},
        {{"Belmo Tareas", "/opt/mis programas/cronequipo", "@Server=sqlite;@DbName=GESTIÓN;",
          "/opt/belmo/vorlane.ico"},
         "\"/opt/mis programas/cronequipo\" \"@Server=sqlite;@DbName=GESTIÓN;\""},
        // What a desktop reads specially inside quotes, and "%", which starts its field codes.
        {{"Belmo Tareas", "/opt/a\"b$c`d\\e", "@Password=50%\"$;", ""},
         "\"/opt/a\\\"b\\$c\\`d\\\\e\" \"@Password=50%%\\\"\\$;\""},
    };
    for (const Caso& c : casos) {
        Carpeta d;
        const std::string ruta = d.ruta(so::archivoDeAccesoDirecto("Belmo Tareas"));
        EXPECT_EQ(ruta, d.ruta("Belmo Tareas.desktop"));
        ASSERT_TRUE(so::escribeAccesoDirecto(ruta, c.acceso)) << c.exec;
        EXPECT_EQ(lee(ruta), "[Desktop Entry]\nType=Application\nName=Belmo Tareas\nExec=" +
                                 c.exec + "\nIcon=" + c.acceso.icono + "\nTerminal=false\n");
        struct stat st {};
        ASSERT_EQ(::stat(ruta.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0111, 0111u) << "a desktop starts only what may be executed";
    }
}
