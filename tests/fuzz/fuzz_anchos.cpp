// "CONSULTASLEN.VLN", the lookups' column widths: one quoted line per table.
#include <QList>
#include <cstdint>
#include <vector>

#include "lookup/AnchosConsulta.h"
#include "tests/fuzz/Check.h"

namespace {

QList<QByteArray> linesOf(const QByteArray& file) {
    QList<QByteArray> lines;
    qsizetype from = 0;
    for (qsizetype at; (at = file.indexOf("\r\n", from)) >= 0; from = at + 2)
        lines << file.mid(from, at - from);
    lines << file.mid(from);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<int> widths{1500, 3000, 0, 45};
    for (const char* name : {"v_ta_tecnicos", "VT_MA_ARTICULOS"}) {
        const QString table = QString::fromLatin1(name);
        const auto read = anchosconsulta::lee(file, table, 6);
        FUZZ_CHECK(read.size() <= 6, "more widths than columns");
        for (const double w : read) {
            const int px = anchosconsulta::pixeles(w);
            FUZZ_CHECK(px >= 1 && px <= 10000, "a width no column can have");
        }

        const QByteArray written = anchosconsulta::reemplaza(file, table, widths);
        FUZZ_CHECK(anchosconsulta::lee(written, table, 6) ==
                       std::vector<double>(widths.begin(), widths.end()),
                   "the widths written are not the ones read back");
        FUZZ_CHECK(anchosconsulta::reemplaza(written, table, widths) == written,
                   "writing the same widths twice changes the file");

        // The lines before the table's own are lines of the old file, byte for byte and in
        // order; none that cannot be the table's is missing.
        FUZZ_CHECK(written.endsWith("\r\n"), "the file does not end its last line");
        QList<QByteArray> after = linesOf(written.chopped(2));
        after.removeLast();
        qsizetype at = 0;
        for (const QByteArray& line : linesOf(file)) {
            if (at < after.size() && after[at] == line) {
                ++at;
                continue;
            }
            FUZZ_CHECK(
                line.isEmpty() || QString::fromLatin1(line).contains(table, Qt::CaseInsensitive),
                "a line of another table is lost or changed");
        }
        FUZZ_CHECK(at == after.size(), "a line that was not in the file");
    }
    return 0;
}
