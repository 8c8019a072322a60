// Dates as the regional settings read them ("dd/mm/yy", "dd/mm/yyyy hh:mm", ...).
#include <QString>
#include <cstdint>

#include "platform/Regional.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const platform::Regional& r = platform::Regional::current();
    const auto d = r.parseDate(text);
    if (!d) return 0;
    FUZZ_CHECK(d->isValid(), "an invalid date accepted");
    // A date read, written in the full short form and read again, is the same date.
    const QString again = d->toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"))
                              .replace(QLatin1Char('/'), r.dateSeparator);
    const auto back = r.parseDate(again);
    FUZZ_CHECK(back.has_value(), "a date written is not read back");
    FUZZ_CHECK(back->date() == d->date(), "a date read back differs");
    return 0;
}
