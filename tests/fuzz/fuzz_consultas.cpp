// "consultas.vln", the quick lookups: fixed-width records of blank-padded fields.
#include <cstdint>

#include "lookup/ConsultasVln.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/InputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile("consultas.vln", data, size);
    if (path.isEmpty()) return 0;
    for (const char* tabla : {"V_MA_ARTICULOS", "v_ta_tecnicos", ""}) {
        const auto r = buscaConsulta(path, QString::fromLatin1(tabla));
        if (!r) continue;
        // The record found is the one of that table, its fields within their widths.
        FUZZ_CHECK(
            r->tabla.trimmed().compare(QString::fromLatin1(tabla), Qt::CaseInsensitive) == 0 ||
                r->tabla.trimmed() == QString::fromLatin1(tabla),
            "a record of another table");
        FUZZ_CHECK(r->titulo.size() <= 100 && r->columnas.size() <= 500 && r->filtro.size() <= 500,
                   "a field longer than its width");
    }
    return 0;
}
