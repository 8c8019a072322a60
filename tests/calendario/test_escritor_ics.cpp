#include <gtest/gtest.h>

#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <set>

#include "tests/calendario/Exportacion.h"
#include "tests/support/ImprimeQString.h"

using namespace prueba_ics;

namespace {

QString largo() {
    QString s;
    while (s.size() < 300) s += QStringLiteral("ñá😀x, ");
    return s.left(300);
}

struct Caso {
    const char* nombre;
    OrdenCalendario orden;
    QDate dia;
    // What a reader gets back: line breaks as LF alone, the number at the end of the description.
    QString descripcion;
    QString categorias;
    QString asistente;
    QString numero;
};

std::vector<Caso> casos() {
    return {
        {"commas, semicolons, backslashes and CR LF",
         {QStringLiteral("1234-MANT01"), QStringLiteral("0001-00001234"),
          QStringLiteral("EQ1, bomba; \\ruta\\"), QStringLiteral("Planta 1, Cliente; S.A."),
          QStringLiteral("línea 1\r\nlínea 2, con; y \\n literal"), QStringLiteral("Peña, José")},
         QDate(2026, 3, 15),
         QStringLiteral("línea 1\nlínea 2, con; y \\n literal\n\nOT 0001-00001234"),
         // CATEGORIES is a list: a comma in the name parts it for every reader; the CN keeps it.
         QStringLiteral("Peña,José"),
         QStringLiteral("Peña, José"),
         QStringLiteral("0001-00001234")},
        {"quotes, accents and emoji, on the first day",
         {QStringLiteral("Ñ \"x\"/1"), QStringLiteral("0001-2"),
          QStringLiteral("Ñandú \"grande\" 😀 ÁÉÍÓÚ"), QStringLiteral("Güemes 'sótano' 🏭"),
          QStringLiteral("Comillas \"dobles\" y 'simples'\rsolo CR"),
          QStringLiteral("José \"Pepe\" Núñez 👷")},
         QDate(1900, 1, 1),
         QStringLiteral("Comillas \"dobles\" y 'simples'\nsolo CR\n\nOT 0001-2"),
         QStringLiteral("José \"Pepe\" Núñez 👷"),
         QStringLiteral("José \"Pepe\" Núñez 👷"),
         QStringLiteral("0001-2")},
        {"a long description, no technician, on the last day",
         {QStringLiteral("9"), QStringLiteral("0001-9"), QStringLiteral("Resumen"), QString(),
          largo(), QString()},
         QDate(2100, 12, 31),
         largo() + QStringLiteral("\n\nOT 0001-9"),
         QString(),
         QString(),
         QStringLiteral("0001-9")},
        {"no comments, on a 29th of February",
         {QStringLiteral("7"), QStringLiteral("0001-7"), QStringLiteral("X"), QStringLiteral("L"),
          QString(), QStringLiteral("Ana")},
         QDate(2024, 2, 29),
         QStringLiteral("OT 0001-7"),
         QStringLiteral("Ana"),
         QStringLiteral("Ana"),
         QStringLiteral("0001-7")},
        {"a number with a comma, a semicolon and a line break",
         {QStringLiteral("8"), QStringLiteral("A,B;C\r\nD"), QStringLiteral("X"), QString(),
          QString(), QString()},
         QDate(2026, 1, 1),
         QStringLiteral("OT A,B;C\nD"),
         QString(),
         QString(),
         QStringLiteral("A,B;C D")},
    };
}

}  // namespace

TEST(EscritorIcs, EveryFieldReadsBackAsWritten) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("c.ics"));
    std::vector<Orden> ordenes;
    for (const Caso& c : casos()) ordenes.push_back({c.orden, {c.dia}});
    const Resultado r = exporta(ruta, ordenes);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.visitas, qint64(ordenes.size()));
    const std::vector<EventoIcs> leidos = lee(ruta);
    ASSERT_EQ(leidos.size(), ordenes.size());
    for (size_t i = 0; i < leidos.size(); ++i) {
        const Caso c = casos()[i];
        const EventoIcs& e = leidos[i];
        SCOPED_TRACE(c.nombre);
        EXPECT_EQ(e.dia, c.dia);
        EXPECT_EQ(e.fin, c.dia.addDays(1));
        EXPECT_EQ(e.estado, QStringLiteral("CONFIRMED"));
        EXPECT_EQ(e.secuencia, 0);
        EXPECT_EQ(e.resumen, c.orden.resumen);
        EXPECT_EQ(e.lugar, c.orden.lugar);
        EXPECT_EQ(e.descripcion, c.descripcion);
        EXPECT_EQ(e.categorias, c.categorias);
        EXPECT_EQ(e.asistente, c.asistente);
        EXPECT_EQ(e.numero, c.numero);
        EXPECT_TRUE(e.uid.startsWith(c.dia.toString(QStringLiteral("yyyyMMdd")) + '-'))
            << e.uid.toStdString();
    }
}

TEST(EscritorIcs, LinesAreCrLfFoldedAt75OctetsWithoutSplittingACharacter) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("c.ics"));
    std::vector<Orden> ordenes;
    for (const Caso& c : casos()) ordenes.push_back({c.orden, {c.dia, c.dia.addDays(-1)}});
    ASSERT_TRUE(exporta(ruta, ordenes).ok);
    const QByteArray b = bytes(ruta);
    ASSERT_TRUE(b.startsWith("BEGIN:VCALENDAR\r\n"));
    ASSERT_TRUE(b.endsWith("END:VCALENDAR\r\n"));
    const QList<QByteArray> lineas = b.first(b.size() - 2).split('\n');
    int plegadas = 0;
    for (const QByteArray& l : lineas) {
        ASSERT_TRUE(l.endsWith('\r') || &l == &lineas.back())
            << "a line ends in LF alone: " << l.toStdString();
        const QByteArray linea = l.endsWith('\r') ? l.chopped(1) : l;
        EXPECT_FALSE(linea.contains('\r')) << linea.toStdString();
        EXPECT_LE(linea.size(), 75) << linea.toStdString();
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString s = utf8(linea);
        EXPECT_FALSE(utf8.hasError())
            << "a character split by the folding: " << linea.toStdString();
        if (linea.startsWith(' ')) ++plegadas;
    }
    EXPECT_GT(plegadas, 4) << "the long description is folded";
    // The order without a technician has neither CATEGORIES nor ATTENDEE: two of each for the
    // three orders with one, each written on two days.
    EXPECT_EQ(b.count("\r\nCATEGORIES"), 6);
    EXPECT_EQ(b.count("\r\nATTENDEE"), 6);
}

TEST(EscritorIcs, TheUidIsTheSameForTheSameDatabaseOrderAndDayOnly) {
    QTemporaryDir dir;
    const auto uidDe = [&](const QString& base, const QString& clave, const QDate& dia,
                           const QDateTime& sello) {
        const QString ruta = dir.filePath(QStringLiteral("u.ics"));
        OrdenCalendario o{clave, QStringLiteral("1"), QStringLiteral("r"), {}, {}, {}};
        if (!exporta(ruta, {{o, {dia}}}, QString(), base, dia, dia, sello).ok) return QString();
        const std::vector<EventoIcs> e = lee(ruta);
        return e.size() == 1 ? e[0].uid : QString();
    };
    const QDateTime antes(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC);
    const QDateTime despues(QDate(2026, 6, 1), QTime(17, 45), Qt::UTC);
    const QString base = QStringLiteral("sqlite/GESTION");
    const QDate dia(2026, 3, 15);
    const QString uid = uidDe(base, QStringLiteral("1234-MANT01"), dia, antes);
    ASSERT_TRUE(uid.startsWith(QStringLiteral("20260315-1234-MANT01-"))) << uid.toStdString();
    EXPECT_TRUE(uid.endsWith(QStringLiteral("@cronequipo"))) << uid.toStdString();
    EXPECT_EQ(uidDe(base, QStringLiteral("1234-MANT01"), dia, despues), uid) << "another export";

    const struct {
        const char* que;
        QString base, clave;
        QDate dia;
    } otros[] = {
        {"another database", QStringLiteral("SERVIDOR/GESTION"), QStringLiteral("1234-MANT01"),
         dia},
        {"another order", base, QStringLiteral("1234-MANT02"), dia},
        {"another day", base, QStringLiteral("1234-MANT01"), dia.addDays(1)},
        {"the clave with a blank", base, QStringLiteral("1234 MANT01"), dia},
        {"the clave with an underscore", base, QStringLiteral("1234_MANT01"), dia},
        {"the clave with its bytes escaped", base, QStringLiteral("1234_2DMANT01"), dia},
    };
    std::set<QString> vistos{uid};
    for (const auto& o : otros) {
        const QString u = uidDe(o.base, o.clave, o.dia, antes);
        EXPECT_FALSE(u.isEmpty()) << o.que;
        EXPECT_TRUE(vistos.insert(u).second) << o.que << ": " << u.toStdString();
    }
    const QString raro = uidDe(base, QStringLiteral("ñ;,\\ 😀/@:"), dia, antes);
    for (const QChar c : raro)
        EXPECT_TRUE(c.unicode() > 32 && c.unicode() < 127 && c != ';' && c != ',' && c != ':')
            << raro.toStdString();
}

TEST(EscritorIcs, AWriteFailureIsToldAndNotTakenForAFile) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full here";
    const Resultado r = exporta(QStringLiteral("/dev/full"),
                                {{{QStringLiteral("1"), {}, QStringLiteral("r"), {}, {}, {}},
                                  {QDate(2026, 1, 1), QDate(2026, 1, 2)}}});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("No se pudo escribir"))) << r.error.toStdString();
}

TEST(LectorIcs, AnotherProgramsFoldedLfOnlyEventsAreRead) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("otro.ics"));
    escribe(ruta,
            "\xEF\xBB\xBF"
            "BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:otro-1\n"
            "DTSTART;VALUE=DATE:20260102\nSUMMARY:Una l\xC3\n \xAD"
            "nea\\, partida\n"
            "END:VEVENT\nBEGIN:VEVENT\nUID:otro-2\nDTSTART:20260103T100000Z\nEND:VEVENT\n"
            "END:VCALENDAR");
    const std::vector<EventoIcs> e = lee(ruta);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].uid, QStringLiteral("otro-1"));
    EXPECT_EQ(e[0].resumen, QStringLiteral("Una línea, partida"));
    EXPECT_EQ(e[1].dia, QDate(2026, 1, 3));
}

TEST(EscritorIcs, PythonsIcalendarReadsTheFile) {
    QString python;
    for (const QString& p : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess q;
        q.start(p, {QStringLiteral("-c"), QStringLiteral("import icalendar")});
        if (q.waitForFinished(60000) && q.exitStatus() == QProcess::NormalExit &&
            q.exitCode() == 0) {
            python = p;
            break;
        }
    }
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with the icalendar module (python3-icalendar) is missing";
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("c.ics"));
    std::vector<Orden> ordenes;
    for (const Caso& c : casos()) ordenes.push_back({c.orden, {c.dia, c.dia.addDays(3)}});
    ASSERT_TRUE(exporta(ruta, ordenes).ok);
    QProcess q;
    q.start(python,
            {QStringLiteral("-c"),
             QStringLiteral("import sys, icalendar\n"
                            "c = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
                            "e = c.walk('VEVENT')\n"
                            "sys.stdout.buffer.write(('%d\\n%s\\n%s\\n' % (len(e), "
                            "e[2]['DTSTART'].dt.isoformat(), e[0]['SUMMARY'])).encode())"),
             ruta});
    ASSERT_TRUE(q.waitForFinished(60000));
    ASSERT_EQ(q.exitCode(), 0) << q.readAllStandardError().toStdString();
    const QStringList salida = QString::fromUtf8(q.readAllStandardOutput()).split('\n');
    ASSERT_GE(salida.size(), 3);
    EXPECT_EQ(salida[0], QString::number(2 * casos().size()));
    EXPECT_EQ(salida[1], QStringLiteral("1900-01-01"));
    EXPECT_EQ(salida[2], casos()[0].orden.resumen);
}

TEST(LectorIcs, TheHeadTellsTheNameAndTheRangeExportedAndOnlyACalendarIsRead) {
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("c.ics"));
    const struct {
        QDate desde, hasta;
    } rangos[] = {{QDate(1900, 1, 1), QDate(2100, 12, 31)},
                  {QDate(2024, 2, 29), QDate(2024, 3, 1)}};
    for (const auto& r : rangos) {
        EscritorIcs e(QStringLiteral("sqlite/GESTION"), QStringLiteral("Cronograma, Peña;\r\n2024"),
                      r.desde, r.hasta, QDateTime());
        ASSERT_TRUE(e.abre(ruta, nullptr));
        e.orden({QStringLiteral("1"), {}, QStringLiteral("r"), {}, {}, {}});
        e.visita(r.desde);
        ASSERT_TRUE(e.cierra(QString(), nullptr));
        CabeceraIcs c;
        ASSERT_TRUE(leeCabeceraIcs(ruta, &c, nullptr));
        EXPECT_EQ(c.nombre, QStringLiteral("Cronograma, Peña; 2024"));
        EXPECT_EQ(c.desde, r.desde);
        EXPECT_EQ(c.hasta, r.hasta);
        const std::vector<EventoIcs> eventos = lee(ruta);
        ASSERT_EQ(eventos.size(), 1u);
        EXPECT_EQ(eventos[0].dia, r.desde) << "the visit follows the head";
    }
    // Neither a file that is no calendar nor a missing one is read, and both say why.
    escribe(ruta, "BEGIN:VEVENT\r\nUID:x\r\nEND:VEVENT\r\n");
    for (const QString& r : {ruta, dir.filePath(QStringLiteral("no-existe.ics"))}) {
        CabeceraIcs c;
        QString error, otro;
        int eventos = 0;
        EXPECT_FALSE(leeCabeceraIcs(r, &c, &error));
        EXPECT_FALSE(leeIcs(
            r, [&](const EventoIcs&) { ++eventos; }, &otro));
        EXPECT_FALSE(error.isEmpty() || otro.isEmpty());
        EXPECT_EQ(eventos, 0);
    }
}
