// Times the translation of long scripts in the server's dialect: many statements, and single
// statements with long lists. Prints the size and the seconds of each; the work must grow in
// proportion to the size.
#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "ado/sqlite/SqliteDialect.h"
#include "ado/tsql/Batch.h"
#include "platform/Regional.h"

namespace {

namespace dialect = ado::sqlite_dialect;

QString repeat(const QString& head, const QString& item, const QString& sep, qsizetype bytes) {
    QString s = head;
    for (int i = 0; s.size() < bytes; ++i) {
        if (i) s += sep;
        s += item.arg(i);
    }
    return s;
}

double seconds(const QString& script) {
    const dialect::DateColumns dates = [](const QString&, const QString& column) {
        return column.compare(QLatin1String("Fecha"), Qt::CaseInsensitive) == 0;
    };
    QElapsedTimer t;
    t.start();
    qsizetype out = 0;
    for (const QString& s : ado::tsql::splitBatch(script))
        out += dialect::translate(s, platform::Regional::current(), true, dates).size();
    const double secs = t.nsecsElapsed() / 1e9;
    if (out == 0) std::printf("(nothing translated)\n");
    return secs;
}

}  // namespace

int main(int argc, char** argv) {
    // bench_traduccion [shape size-in-KB]: one measure only, for a profiler.
    const int soloForma = argc > 2 ? std::atoi(argv[1]) : -1;
    const qsizetype soloKB = argc > 2 ? std::atoll(argv[2]) : 0;
    const struct Forma {
        const char* nombre;
        QString head, item, sep;
    } formas[] = {
        {"statements", QString(),
         QStringLiteral("INSERT INTO dbo.T (Id, Texto, Fecha) VALUES (%1, N'texto ''%1''', "
                        "'15/03/2026')\nSELECT TOP 1 * FROM T WITH(NOLOCK) WHERE Fecha >= "
                        "'01/03/2026' AND Texto = 'x'"),
         QStringLiteral("\n")},
        {"one INSERT, many rows", QStringLiteral("INSERT INTO T (Id, Texto, Fecha) VALUES "),
         QStringLiteral("(%1, 'texto %1', '15/03/2026')"), QStringLiteral(",\n")},
        {"one SELECT, long IN list", QStringLiteral("SELECT * FROM T WHERE Fecha IN ("),
         QStringLiteral("'%1/03/2026'"), QStringLiteral(", ")},
        {"one SELECT, many conditions", QStringLiteral("SELECT * FROM T WHERE 1 = 1"),
         QStringLiteral(" AND Texto <> 'x%1' AND LEN(Texto) > %1"), QString()},
    };
    if (soloForma >= 0 && soloForma < 4) {
        const Forma& f = formas[soloForma];
        QString script = repeat(f.head, f.item, f.sep, soloKB * 1024);
        if (f.head.endsWith(QLatin1Char('('))) script += QLatin1Char(')');
        std::printf("%s, %lld KB: %.3f s\n", f.nombre, static_cast<long long>(soloKB),
                    seconds(script));
        return 0;
    }
    std::printf("%-30s %10s %10s %10s %10s\n", "shape", "137 KB", "277 KB", "1 MB", "1MB/277KB");
    for (const Forma& f : formas) {
        double s[3];
        const qsizetype sizes[3] = {137 * 1024, 277 * 1024, 1024 * 1024};
        for (int k = 0; k < 3; ++k) {
            QString script = repeat(f.head, f.item, f.sep, sizes[k]);
            if (f.head.endsWith(QLatin1Char('('))) script += QLatin1Char(')');
            s[k] = seconds(script);
        }
        std::printf("%-30s %9.3fs %9.3fs %9.3fs %10.1f\n", f.nombre, s[0], s[1], s[2], s[2] / s[1]);
    }
    return 0;
}
