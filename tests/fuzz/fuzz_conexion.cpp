// Connection strings ("PROVIDER=SQLOLEDB;Server=...;Database =...;UId=...;Pwd=...;").
#include <QString>
#include <cstdint>

#include "ado/ConnectionString.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ado::KeyValues kv;
    if (!ado::parseConnectionString(text, &kv)) return 0;
    for (const auto& [key, value] : kv)
        FUZZ_CHECK(!key.trimmed().isEmpty(), "an entry without a key");
    return 0;
}
