// The batch mode's options, one argument a line.
#include <QString>
#include <QStringList>
#include <cstdint>

#include "report/ModoLote.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList argumentos =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
            .split(QLatin1Char('\n'));
    QString error;
    const auto o = leeOpcionesLote(argumentos, &error);
    FUZZ_CHECK(o.has_value() || !error.isEmpty(), "options refused without a message");
    return 0;
}
