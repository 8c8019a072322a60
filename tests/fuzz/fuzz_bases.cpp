// "BASES.TXT", the connections registered on the machine: read, and an entry written back.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "connect/BasesRegistradas.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("BASES.TXT"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const auto entries = leeBases(path);
    for (const auto& e : entries) {
        FUZZ_CHECK(buscaBase(path, e.clave).has_value(), "an entry read is not found by its key");
        camposDe(e);
    }
    // An entry written is read back as it was, after everything that was there.
    const auto& first = entries.empty() ? BaseRegistrada{} : entries.front();
    QString why;
    const QString clave =
        first.clave.trimmed().isEmpty() ? QStringLiteral("X / Y") : first.clave.trimmed();
    if (GrabaBaseRegistrada(path, clave, first.base, first.tercero, first.cuarto, first.servidor,
                            &why)) {
        const auto after = leeBases(path);
        FUZZ_CHECK(after.size() >= entries.size(), "writing an entry lost others");
        if (after.size() == entries.size() + 1) {
            const auto& w = after.back();
            FUZZ_CHECK(w.clave.trimmed() == clave, "the key written comes back otherwise");
            FUZZ_CHECK(w.servidor.trimmed() == first.servidor.trimmed(),
                       "the server comes back otherwise");
        }
    }
    return 0;
}
