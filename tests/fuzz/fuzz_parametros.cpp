// The parameter string the suite starts the program with ("@Server=...;@DbName=...;").
#include <QString>
#include <cstdint>

#include "startup/Sesion.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString linea =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* clave : {"@Server", "@DbName", "@Usuario", "@Password", "@Caja"}) {
        for (bool hastaElFinal : {false, true}) {
            const QString v = ValorParametro(linea, QString::fromLatin1(clave), QStringLiteral("x"),
                                             hastaElFinal);
            // A value is read from its own entry: never past the ";" that ends it, and without
            // the blanks around it.
            FUZZ_CHECK(v == QLatin1String("x") || !v.contains(QLatin1Char(';')),
                       "a value holds a ;");
            FUZZ_CHECK(v == v.trimmed(), "a value keeps blanks around it");
            const QString servidor = LimpiaServidor(v);
            FUZZ_CHECK(!servidor.contains(QLatin1Char(':')), "a server keeps its port");
            FUZZ_CHECK(v.contains(servidor), "the server is not part of the value");
        }
    }
    return 0;
}
