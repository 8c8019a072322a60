// The statement translator and the batch splitter of the embedded engine.
#include <QString>
#include <cstdint>

#include "ado/sqlite/SqliteDialect.h"
#include "ado/tsql/Batch.h"
#include "platform/Regional.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString batch =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList pieces = ado::tsql::splitBatch(batch);
    qsizetype total = 0;
    for (const QString& p : pieces) {
        total += p.size();
        // A statement of the batch is one statement: split again it stays whole.
        const QStringList again = ado::tsql::splitBatch(p);
        FUZZ_CHECK(again.size() <= 1, "a piece of a batch splits again");
        const QString t = ado::sqlite_dialect::translate(p, platform::Regional::current());
        // Translation is a function of its input.
        FUZZ_CHECK(ado::sqlite_dialect::translate(p, platform::Regional::current()) == t,
                   "the same statement translated twice differs");
    }
    FUZZ_CHECK(total <= batch.size(), "the pieces of a batch are longer than the batch");
    return 0;
}
