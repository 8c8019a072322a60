// The Oracle rewriting of statements written in the suite's dialect.
#include <QString>
#include <cstdint>

#include "data/db_dll/Dialects.h"
#include "platform/Failure.h"
#include "platform/Regional.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString sql =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString oracle =
        QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=GESTION;User Id=sa;Password=;");
    const QString server =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=SRV01;Database =GESTION;UId=sa;Pwd=;");
    const platform::Regional& r = platform::Regional::current();
    // Only an Oracle connection changes anything.
    FUZZ_CHECK(dbdll::oracleDicc(sql, server, r) == sql, "a server statement rewritten");
    FUZZ_CHECK(dbdll::adaptaSql(sql, server) == sql, "a server statement adapted");
    // A quote left open is refused (5), as the suite refuses it; otherwise the rewriting is a
    // function of the statement.
    auto rewrite = [&]() -> QString {
        try {
            return dbdll::oracleDicc(sql, oracle, r);
        } catch (const platform::Failure& e) {
            FUZZ_CHECK(e.info().number == 5, "a refusal other than an open quote");
            return QStringLiteral("<rechazada>");
        }
    };
    FUZZ_CHECK(rewrite() == rewrite(), "the same statement rewritten twice differs");
    try {
        dbdll::adaptaSql(sql, oracle);
    } catch (const platform::Failure& e) {
        // The one refusal it has: TOP without "*".
        FUZZ_CHECK(e.info().number == platform::errnum::InvalidArgument, "another failure");
    }
    QString copy = sql;
    dbdll::descartaSentenciaOracle(copy);
    FUZZ_CHECK(copy.isEmpty() || copy == sql, "a statement half discarded");
    return 0;
}
