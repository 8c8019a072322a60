// "KV300mn.INI": a key written is read back as written, and the other keys keep their values.
#include <QFileInfo>
#include <cstdint>

#include "platform/ArchivoLegible.h"
#include "platform/IniReader.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/InputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile("KV300mn.INI", data, size);
    if (path.isEmpty()) return 0;
    const QString antes = platform::readIniKey(
        path, QStringLiteral("ODBC"), QStringLiteral("DriverOracle"), QStringLiteral("<ninguno>"));
    // A file beyond the bound reads as no file at all, before and after anything is written.
    if (static_cast<qint64>(size) > platform::limite::kAjustes) {
        FUZZ_CHECK(antes == QLatin1String("<ninguno>"), "a file beyond its bound is read");
        return 0;
    }
    platform::writeIniKey(path, QStringLiteral("PC01|JUAN_GESTIONStyles"), QStringLiteral("Styles"),
                          QStringLiteral("3"));
    if (QFileInfo(path).size() > platform::limite::kAjustes) {
        FUZZ_CHECK(platform::readIniKey(path, QStringLiteral("PC01|JUAN_GESTIONStyles"),
                                        QStringLiteral("styles"), QString())
                       .isEmpty(),
                   "a file beyond its bound is read");
        return 0;
    }
    FUZZ_CHECK(platform::readIniKey(path, QStringLiteral("PC01|JUAN_GESTIONStyles"),
                                    QStringLiteral("styles"), QString()) == QLatin1String("3"),
               "a key written is not read back");
    FUZZ_CHECK(platform::readIniKey(path, QStringLiteral("ODBC"), QStringLiteral("DriverOracle"),
                                    QStringLiteral("<ninguno>")) == antes,
               "writing one key changed another");
    return 0;
}
