// A previous calendar export, as the file at the target may hold anything: read back event by
// event, and the export over it still writes every visit and cancels only visits of its own
// database within its range.
#include <QDir>
#include <cstdint>

#include "calendario/EscritorIcs.h"
#include "calendario/LectorIcs.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/InputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString anterior = inputFile("anterior.ics", data, size);
    if (anterior.isEmpty()) return 0;
    int previos = 0;
    QString error;
    leeIcs(
        anterior, [&](const EventoIcs&) { ++previos; }, &error);

    const QString nuevo = QDir(QFileInfo(anterior).path()).filePath(QStringLiteral("nuevo.ics"));
    const QDate desde(2026, 1, 1), hasta(2026, 12, 31);
    EscritorIcs e(QStringLiteral("sqlite/GESTION"), QStringLiteral("Cronograma"), desde, hasta,
                  QDateTime(QDate(2026, 3, 1), QTime(9, 30), Qt::UTC));
    e.retoma(anterior);
    FUZZ_CHECK(e.abre(nuevo, &error), "the new file cannot be opened");
    e.orden({QStringLiteral("1-EQ-001"), QStringLiteral("0001-1"), QStringLiteral("EQ-001 Horno"),
             QStringLiteral("Planta, Cliente"), QStringLiteral("Revisar; limpiar"),
             QStringLiteral("Martín")});
    for (const QDate& d : {QDate(2026, 1, 5), QDate(2026, 6, 1), QDate(2026, 12, 31)}) e.visita(d);
    FUZZ_CHECK(e.cierra(anterior, &error), "the export over the previous file failed");

    int confirmadas = 0, canceladas = 0;
    bool fuera = false;
    FUZZ_CHECK(leeIcs(
                   nuevo,
                   [&](const EventoIcs& ev) {
                       if (ev.estado == QLatin1String("CANCELLED")) {
                           ++canceladas;
                           fuera = fuera || !ev.dia.isValid() || ev.dia < desde || ev.dia > hasta ||
                                   !ev.uid.endsWith(QLatin1String("@cronequipo"));
                       } else {
                           ++confirmadas;
                       }
                   },
                   &error),
               "the new file cannot be read back");
    FUZZ_CHECK(confirmadas == 3, "a visit of the new export is missing");
    FUZZ_CHECK(canceladas == e.canceladas(), "the cancellations written are not those counted");
    FUZZ_CHECK(!fuera, "an event outside the range or of another program was cancelled");
    FUZZ_CHECK(canceladas <= previos, "more cancellations than events before");
    return 0;
}
