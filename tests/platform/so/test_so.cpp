// The operating system's layer, the same cases on either system (natively, and for Windows under
// Wine); what only one system does is in test_so_posix.cpp and test_so_win.cpp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/so/AccesoDirecto.h"
#include "platform/so/Archivos.h"
#include "platform/so/Entorno.h"
#include "platform/so/Procesos.h"
#include "tests/platform/so/Abierto.h"
#include "tests/platform/so/Carpeta.h"

using namespace so::prueba;

namespace {

std::string ayudante() {
    return texto(camino(so::rutaDelPrograma()).parent_path() / SO_AYUDANTE);
}

// What is left to read through a descriptor from its start.
std::string leeDescriptor(int fd) {
    std::string s;
    if (::lseek(fd, 0, SEEK_SET) != 0) return "(lseek failed)";
    char trozo[256];
    for (int n = 0; (n = static_cast<int>(::read(fd, trozo, sizeof trozo))) > 0;)
        s.append(trozo, n);
    return s;
}

// The arguments the helper wrote, each ended by a NUL.
std::vector<std::string> recibidos(const std::string& archivo) {
    std::vector<std::string> a;
    const std::string t = lee(archivo);
    for (std::size_t i = 0, fin = 0; (fin = t.find('\0', i)) != std::string::npos; i = fin + 1)
        a.push_back(t.substr(i, fin - i));
    return a;
}

}  // namespace

TEST(Reemplazo, TheNewFileTakesTheTargetsPlaceWhateverStoodThere) {
    struct Caso {
        const char* nombre;
        bool existe;
        bool abierto;
    } casos[] = {
        {"no target", false, false},
        {"an existing target", true, false},
        {"a target a reader holds open", true, true},
    };
    for (const Caso& c : casos) {
        Carpeta d;
        const std::string destino = d.ruta("informe ñ.pdf");
        const std::string nuevo = d.ruta(".informe ñ.pdf.Ab12Cd");
        if (c.existe) escribe(destino, "viejo");
        escribe(nuevo, "nuevo");
        {
            const Abierto lector(destino, so::Uso::Leer);
            if (c.abierto) {
                ASSERT_GE(lector.descriptor(), 0) << c.nombre;
            }
            EXPECT_TRUE(so::reemplaza(nuevo, destino)) << c.nombre;
            EXPECT_EQ(lee(destino), "nuevo") << c.nombre;
            EXPECT_FALSE(existe(nuevo)) << c.nombre;
            if (c.abierto) {
                EXPECT_EQ(leeDescriptor(lector.descriptor()), "viejo")
                    << c.nombre << ": the reader goes on with what it opened";
            }
        }
        EXPECT_EQ(d.nombres(), std::vector<std::string>{"informe ñ.pdf"})
            << c.nombre << ": nothing is left beside it";
    }
}

TEST(Reemplazo, WhatCannotBeReplacedIsLeftAsItWas) {
    struct Caso {
        const char* nombre;
        bool hayNuevo;
        bool destinoEsCarpeta;
    } casos[] = {
        {"the new file is missing", false, false},
        {"the target is a folder", true, true},
    };
    for (const Caso& c : casos) {
        Carpeta d;
        const std::string destino = d.ruta("destino");
        const std::string nuevo = d.ruta("nuevo");
        if (c.destinoEsCarpeta) {
            std::filesystem::create_directory(camino(destino));
            escribe(destino + "/dentro", "viejo");
        } else {
            escribe(destino, "viejo");
        }
        if (c.hayNuevo) escribe(nuevo, "nuevo");
        EXPECT_FALSE(so::reemplaza(nuevo, destino)) << c.nombre;
        EXPECT_EQ(lee(c.destinoEsCarpeta ? destino + "/dentro" : destino), "viejo") << c.nombre;
        EXPECT_EQ(lee(nuevo), c.hayNuevo ? "nuevo" : "") << c.nombre;
        EXPECT_EQ(d.nombres().size(), c.hayNuevo ? 2u : 1u) << c.nombre << ": nothing else left";
    }
}

TEST(Abiertos, AFileIsOpenExactlyWhileTheProgramHoldsIt) {
    Carpeta d;
    const std::string ruta = d.ruta("base ñ.db");
    const std::string otra = d.ruta("otra.db");
    escribe(ruta, "x");
    escribe(otra, "y");
    EXPECT_FALSE(so::estaAbierto(d.ruta("no está")));
    for (const so::Uso uso :
         {so::Uso::Leer, so::Uso::LeerYEscribir, so::Uso::Escribir, so::Uso::Agregar}) {
        const int u = static_cast<int>(uso);
        EXPECT_FALSE(so::estaAbierto(ruta)) << u;
        {
            const Abierto a(ruta, uso);
            ASSERT_GE(a.descriptor(), 0) << u;
            EXPECT_TRUE(so::estaAbierto(ruta)) << u;
            EXPECT_FALSE(so::estaAbierto(otra)) << u << ": another file of the folder is not";
        }
        EXPECT_FALSE(so::estaAbierto(ruta)) << u << ": closed";
    }
}

TEST(Procesos, TheProgramsExitStatusComesBack) {
    for (const int estado : {0, 1, 3, 42, 255})
        EXPECT_EQ(so::ejecutaYEspera(ayudante(), {std::to_string(estado)}), estado);
}

TEST(Procesos, EveryArgumentArrivesAsItWasGiven) {
    const std::vector<std::string> dados = {
        "simple",  "con blancos",   "comillas \"dentro\"",
        "\"",      "barra final\\", "\\\\srv\\carpeta\\",
        "",        "tab\taquí",     "@Server=sqlite;@DbName=GESTIÓN;",
        "100 % €",
    };
    Carpeta d;
    // Also from a folder whose name has blanks and an accent.
    const std::string copia = d.ruta("con blancos ñ") + "/" + SO_AYUDANTE;
    std::filesystem::create_directory(camino(d.ruta("con blancos ñ")));
    std::filesystem::copy_file(camino(ayudante()), camino(copia));
    for (const std::string& programa : {ayudante(), copia}) {
        const std::string archivo = d.ruta("recibidos ñ");
        std::vector<std::string> argumentos = {"7", archivo};
        argumentos.insert(argumentos.end(), dados.begin(), dados.end());
        EXPECT_EQ(so::ejecutaYEspera(programa, argumentos), 7) << programa;
        EXPECT_EQ(recibidos(archivo), dados) << programa;
        std::filesystem::remove(camino(archivo));
    }
}

TEST(Procesos, AProgramThatIsNotThereDoesNotStart) {
    Carpeta d;
    EXPECT_EQ(so::ejecutaYEspera(d.ruta("no-existe"), {}), std::nullopt);
    EXPECT_EQ(so::inicia(d.ruta("no-existe"), {}), std::nullopt);
}

TEST(Procesos, AProgramStartedWithoutWaitingRunsOnItsOwn) {
    Carpeta d;
    const std::string archivo = d.ruta("hecho");
    const auto id = so::inicia(ayudante(), {"0", archivo, "solo"});
    ASSERT_TRUE(id.has_value());
    EXPECT_GT(*id, 0);
    // Nothing here waits for it: its file appears whole once it has run.
    while (!existe(archivo)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(recibidos(archivo), std::vector<std::string>{"solo"});
}

TEST(Entorno, TheFoldersAreWholePathsWithoutATrailingSeparator) {
    const struct {
        const char* nombre;
        std::string ruta;
    } carpetas[] = {
        {"temporal", so::carpetaTemporal()},
        {"escritorio", so::carpetaEscritorio()},
    };
    for (const auto& c : carpetas) {
        ASSERT_FALSE(c.ruta.empty()) << c.nombre;
        EXPECT_TRUE(camino(c.ruta).is_absolute()) << c.nombre << ": " << c.ruta;
        EXPECT_NE(c.ruta.back(), '/') << c.ruta;
        EXPECT_NE(c.ruta.back(), '\\') << c.ruta;
    }
    EXPECT_TRUE(std::filesystem::is_directory(camino(so::carpetaTemporal())));
}

TEST(AccesoDirecto, AShortcutIsWrittenOverTheOneBeforeAndNeverIntoAMissingFolder) {
    Carpeta d;
    const std::string ruta = d.ruta(so::archivoDeAccesoDirecto("Belmo Tareas"));
    so::AccesoDirecto acceso{"Belmo Tareas", ayudante(), "@Server=sqlite;", ""};
    ASSERT_TRUE(so::escribeAccesoDirecto(ruta, acceso));
    const std::string primero = lee(ruta);
    EXPECT_FALSE(primero.empty());
    acceso.parametros = "@Server=otro;@DbName=GESTIÓN;";
    ASSERT_TRUE(so::escribeAccesoDirecto(ruta, acceso));
    EXPECT_NE(lee(ruta), primero) << "the second one replaced the first";
    EXPECT_EQ(d.nombres().size(), 1u);
    EXPECT_FALSE(so::escribeAccesoDirecto(d.ruta("no hay/Belmo Tareas"), acceso));
}
