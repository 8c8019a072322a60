// The report templates ("reportes/<name>.xml").
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdint>

#include "reportengine/ReportTemplate.h"
#include "tests/fuzz/Check.h"

using namespace reportengine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plantilla.xml"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
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
