// "BASES.TXT", the connections registered on the machine: read, and an entry written back.
#include <QDir>
#include <QFileInfo>
#include <cstdint>

#include "connect/BasesRegistradas.h"
#include "platform/ArchivoLegible.h"
#include "platform/Failure.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/InputFile.h"

namespace {

// A file beyond a list's bound is refused whole, with the reason; true when it is.
bool refusedAsTooLarge(const QString& path) {
    try {
        leeBases(path);
    } catch (const platform::Failure& f) {
        return f.info().number == platform::errnum::PathFileAccess &&
               f.info().description.contains(QStringLiteral("demasiado grande"));
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile("BASES.TXT", data, size);
    if (path.isEmpty()) return 0;
    if (static_cast<qint64>(size) > platform::limite::kAjustes) {
        FUZZ_CHECK(refusedAsTooLarge(path), "a file beyond its bound is read");
        return 0;
    }
    const auto entries = leeBases(path);
    // Each search reads the file again: the first entries and the last one are enough to tell,
    // and keep a file of thousands of entries within its time.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i < 64 || i + 1 == entries.size())
            FUZZ_CHECK(buscaBase(path, entries[i].clave).has_value(),
                       "an entry read is not found by its key");
        camposDe(entries[i]);
    }
    // An entry written is read back as it was, after everything that was there.
    const auto& first = entries.empty() ? BaseRegistrada{} : entries.front();
    QString why;
    // A key not registered yet: one already there is refused as such.
    const QString clave =
        (first.clave.trimmed().isEmpty() ? QStringLiteral("X / Y") : first.clave.trimmed()) +
        QStringLiteral(" (nueva)");
    if (GrabaBaseRegistrada(path, clave, first.base, first.tercero, first.cuarto, first.servidor,
                            &why)) {
        // The entry may take the file past its bound: then it is refused from now on.
        if (QFileInfo(path).size() > platform::limite::kAjustes) {
            FUZZ_CHECK(refusedAsTooLarge(path), "a file beyond its bound is read");
            return 0;
        }
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
