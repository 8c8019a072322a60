// The report templates ("reportes/<name>.xml").
#include <QRegularExpression>
#include <cstdint>

#include "reportengine/ReportTemplate.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/InputFile.h"

using namespace reportengine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile("plantilla.xml", data, size);
    if (path.isEmpty()) return 0;
    QString why;
    const auto t = ReportTemplate::load(path, &why);
    if (!t) {
        FUZZ_CHECK(!why.isEmpty(), "a template refused without a reason");
        return 0;
    }
    // Names go into statements as they stand: only plain identifiers pass.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    FUZZ_CHECK(plain.match(t->table).hasMatch(), "a table name that is not a plain identifier");
    for (const auto& j : t->joins)
        FUZZ_CHECK(plain.match(j.table).hasMatch(), "a joined table name");
    return 0;
}
