#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <map>

#include "calendario/UidVisita.h"
#include "tests/calendario/Exportacion.h"
#include "tests/support/ImprimeQString.h"

using namespace prueba_ics;

namespace {

const QDate kDesde(2026, 1, 1);
const QDate kHasta(2026, 12, 31);

// Twenty orders with a visit every day of 2026 and one more on the last day of 2025: the file
// runs past a megabyte, so that events straddle the blocks the previous file is read in.
std::vector<Orden> ano(const std::function<bool(int, const QDate&)>& quedaFuera = {}) {
    std::vector<Orden> r;
    for (int i = 0; i < 20; ++i) {
        Orden o{{QStringLiteral("%1-MANT").arg(i), QStringLiteral("N%1").arg(i),
                 QStringLiteral("Equipo %1, línea; \"A\"").arg(i), QStringLiteral("Planta"),
                 QStringLiteral("Revisar.\r\nAnotar."), QStringLiteral("Técnico")},
                {QDate(2025, 12, 31)}};
        for (QDate d = kDesde; d <= kHasta; d = d.addDays(1))
            if (!quedaFuera || !quedaFuera(i, d)) o.dias.push_back(d);
        r.push_back(o);
    }
    return r;
}

struct Cuenta {
    int confirmados = 0;
    std::map<QString, EventoIcs> cancelados;
};

Cuenta cuenta(const QString& ruta) {
    Cuenta c;
    for (const EventoIcs& e : lee(ruta)) {
        if (e.estado == QStringLiteral("CANCELLED"))
            c.cancelados[e.uid] = e;
        else
            ++c.confirmados;
    }
    return c;
}

bool quitadas(int orden, const QDate& d) {
    return (orden == 3 && d == QDate(2026, 5, 10)) || (orden == 19 && d == QDate(2026, 12, 31));
}

}  // namespace

TEST(CancelacionIcs, AVisitGoneWithinTheRangeIsCancelledOnceAndStaysCancelled) {
    QTemporaryDir dir;
    const QString primero = dir.filePath(QStringLiteral("1.ics"));
    const QString segundo = dir.filePath(QStringLiteral("2.ics"));
    const QString tercero = dir.filePath(QStringLiteral("3.ics"));
    const int porOrden = 366;
    ASSERT_TRUE(exporta(primero, ano(), {}, QStringLiteral("sqlite/GESTION"), kDesde, kHasta).ok);
    ASSERT_GT(bytes(primero).size(), 1 << 20);

    // The visit of 2025 lies outside the second export's range and is not written either: it is
    // not mentioned.
    const auto sinDosYSin2025 = ano([](int o, const QDate& d) { return quitadas(o, d); });
    std::vector<Orden> segundoOrdenes = sinDosYSin2025;
    for (Orden& o : segundoOrdenes) o.dias.erase(o.dias.begin());
    // Sent a month later: the cancellations carry the time they are sent.
    const QDateTime luego(QDate(2026, 4, 2), QTime(10, 15, 7), Qt::UTC);
    Resultado r = exporta(segundo, segundoOrdenes, primero, QStringLiteral("sqlite/GESTION"),
                          kDesde, kHasta, luego);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.canceladas, 2);
    Cuenta c = cuenta(segundo);
    EXPECT_EQ(c.confirmados, 20 * (porOrden - 1) - 2);
    ASSERT_EQ(c.cancelados.size(), 2u);
    const QStringList esperados{QStringLiteral("20260510-3-MANT-"),
                                QStringLiteral("20261231-19-MANT-")};
    for (const QString& inicio : esperados) {
        const auto e = std::find_if(c.cancelados.begin(), c.cancelados.end(),
                                    [&](const auto& p) { return p.first.startsWith(inicio); });
        ASSERT_NE(e, c.cancelados.end()) << inicio.toStdString();
        EXPECT_EQ(e->second.secuencia, 1);
        EXPECT_EQ(e->second.sello, luego);
        EXPECT_EQ(e->second.dia.toString(QStringLiteral("yyyyMMdd")), inicio.left(8));
        EXPECT_TRUE(e->second.resumen.startsWith(QStringLiteral("Equipo "))) << "the event whole";
    }

    // Exported again without them: still cancelled, with the same sequence.
    r = exporta(tercero, segundoOrdenes, segundo, QStringLiteral("sqlite/GESTION"), kDesde, kHasta);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.canceladas, 2);
    const Cuenta t = cuenta(tercero);
    EXPECT_EQ(t.confirmados, c.confirmados);
    ASSERT_EQ(t.cancelados.size(), 2u);
    for (const auto& [uid, e] : t.cancelados) {
        EXPECT_EQ(e.secuencia, 1) << uid.toStdString();
        EXPECT_EQ(e.sello, luego) << "cancelled when it was first sent so";
        EXPECT_TRUE(c.cancelados.count(uid)) << uid.toStdString();
    }
}

TEST(CancelacionIcs, APreviousFileThatIsNotThisDatabasesCancelsNothing) {
    QTemporaryDir dir;
    const QString otraBase = dir.filePath(QStringLiteral("otra.ics"));
    ASSERT_TRUE(
        exporta(otraBase, ano(), {}, QStringLiteral("SERVIDOR/GESTION"), kDesde, kHasta).ok);
    const QString basura = dir.filePath(QStringLiteral("basura.ics"));
    escribe(basura, QByteArray(3 << 20, 'x') + "\r\nBEGIN:VEVENT\r\n" + QByteArray(2 << 20, 'y'));
    const QString ajeno = dir.filePath(QStringLiteral("ajeno.ics"));
    escribe(ajeno,
            "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:20260510-3-MANT-de-otro@otro\r\n"
            "DTSTART;VALUE=DATE:20260510\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const QString vacio = dir.filePath(QStringLiteral("vacio.ics"));
    escribe(vacio, QByteArray());
    const struct {
        const char* que;
        QString anterior;
    } casos[] = {
        {"another database's export", otraBase},
        {"a file that is no calendar", basura},
        {"another program's events", ajeno},
        {"an empty file", vacio},
        {"a file that does not exist", dir.filePath(QStringLiteral("no-existe.ics"))},
        {"a folder", dir.path()},
    };
    for (const auto& c : casos) {
        const QString ruta = dir.filePath(QStringLiteral("nuevo.ics"));
        const Resultado r = exporta(ruta, ano(quitadas), c.anterior,
                                    QStringLiteral("sqlite/GESTION"), kDesde, kHasta);
        EXPECT_TRUE(r.ok) << c.que << ": " << r.error.toStdString();
        EXPECT_EQ(r.canceladas, 0) << c.que;
        EXPECT_EQ(cuenta(ruta).cancelados.size(), 0u) << c.que;
    }
}

TEST(CancelacionIcs, EveryFormOfAPreviousEventOfOursIsCancelledOnceWithItsSequence) {
    const QString base = QStringLiteral("sqlite/GESTION");
    const QByteArray nuestro = calendario::uid::sufijoBase(base);
    const auto uid = [&](const QDate& d, const QString& clave, const QByteArray& sufijo) {
        return calendario::uid::uid(d, calendario::uid::claveEnUid(clave), sufijo);
    };
    const QDate dia(2026, 6, 1);
    const QString larga = QStringLiteral("orden-de-clave-muy-larga-").repeated(4);
    const struct {
        const char* que;
        QByteArray uidLinea, resto;
        QString estado;  // empty: not written again
        int secuencia;
    } casos[] = {
        {"without STATUS nor SEQUENCE, a long line unfolded", "UID:" + uid(dia, "2", nuestro),
         "SUMMARY:" + QByteArray(120, 'r') + "\r\n", QStringLiteral("CANCELLED"), 1},
        {"tentative", "UID:" + uid(dia, "3", nuestro), "STATUS:TENTATIVE\r\nSEQUENCE:3\r\n",
         QStringLiteral("CANCELLED"), 4},
        {"cancelled already", "UID:" + uid(dia, "4", nuestro), "STATUS:CANCELLED\r\nSEQUENCE:4\r\n",
         QStringLiteral("CANCELLED"), 4},
        {"confirmed, its sequence one digit longer", "UID:" + uid(dia, "5", nuestro),
         "STATUS:CONFIRMED\r\nSEQUENCE:9\r\n", QStringLiteral("CANCELLED"), 10},
        {"its UID folded", "UID:" + uid(dia, larga, nuestro).insert(60, "\r\n "),
         "STATUS:CONFIRMED\r\nSEQUENCE:0\r\n", QStringLiteral("CANCELLED"), 1},
        {"its UID with a parameter", "UID;X-A=b:" + uid(dia, "6", nuestro), QByteArray(),
         QStringLiteral("CANCELLED"), 1},
        {"written again", "UID:" + uid(dia, "1", nuestro), "SEQUENCE:0\r\n", QString(), 0},
        {"outside the range", "UID:" + uid(QDate(2025, 6, 1), "2", nuestro), QByteArray(),
         QString(), 0},
        {"another database's", "UID:" + uid(dia, "2", calendario::uid::sufijoBase("otra")),
         QByteArray(), QString(), 0},
    };
    QByteArray previo = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (const auto& c : casos)
        previo += "BEGIN:VEVENT\r\n" + c.uidLinea + "\r\nDTSTART;VALUE=DATE:20260601\r\n" +
                  c.resto + "END:VEVENT\r\n";
    previo += "END:VCALENDAR\r\n";
    QTemporaryDir dir;
    const QString anterior = dir.filePath(QStringLiteral("previo.ics"));
    escribe(anterior, previo);
    const QString ruta = dir.filePath(QStringLiteral("nuevo.ics"));
    const Orden uno{{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("r"), {}, {}, {}},
                    {dia}};
    const Resultado r =
        exporta(ruta, {uno}, anterior, base, QDate(2026, 1, 1), QDate(2026, 12, 31));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    std::map<QString, EventoIcs> leidos;
    for (const EventoIcs& e : lee(ruta)) leidos[e.uid] = e;
    int esperadas = 0;
    for (const auto& c : casos) {
        QByteArray u = c.uidLinea.mid(c.uidLinea.indexOf(':') + 1);
        u.replace("\r\n ", "");
        const auto e = leidos.find(QString::fromLatin1(u));
        if (c.estado.isEmpty()) {
            const bool nuevo = e != leidos.end() && e->second.estado == QStringLiteral("CONFIRMED");
            EXPECT_TRUE(e == leidos.end() || nuevo) << c.que;
            continue;
        }
        ++esperadas;
        ASSERT_NE(e, leidos.end()) << c.que;
        EXPECT_EQ(e->second.estado, c.estado) << c.que;
        EXPECT_EQ(e->second.secuencia, c.secuencia) << c.que;
        EXPECT_EQ(e->second.dia, dia) << c.que;
        // Stamped with the export that cancels it (none of them had a stamp of its own), and
        // placed on the day its UID names.
        EXPECT_EQ(e->second.sello, QDateTime(QDate(2026, 3, 1), QTime(9, 30), Qt::UTC)) << c.que;
        EXPECT_EQ(e->second.fin, dia.addDays(1)) << c.que;
    }
    EXPECT_EQ(r.canceladas, esperadas);
    EXPECT_EQ(leidos.size(), size_t(esperadas + 1)) << "the new visit and the cancelled ones";
    EXPECT_EQ(leidos[QString::fromLatin1(uid(dia, "2", nuestro))].resumen, QString(120, 'r'));
    for (const QByteArray& l : bytes(ruta).split('\n')) EXPECT_LE(l.size(), 76) << l.toStdString();
}

TEST(CancelacionIcs, AVisitBackAfterItsCancellationComesWithAHigherSequenceWhenThePreviousIsRead) {
    QTemporaryDir dir;
    const QDate dia(2026, 5, 10);
    const auto conDia = [&](bool esta) {
        Orden o{{QStringLiteral("3-MANT"), QStringLiteral("N3"), QStringLiteral("r"), {}, {}, {}},
                {QDate(2026, 5, 9)}};
        if (esta) o.dias.push_back(dia);
        return std::vector<Orden>{o};
    };
    // Each export reads the one before; what the visit of that day must be in each.
    const struct {
        bool esta;
        const char* estado;
        int secuencia;
    } pasos[] = {
        {true, "CONFIRMED", 0}, {false, "CANCELLED", 1}, {true, "CONFIRMED", 2},
        {true, "CONFIRMED", 2}, {false, "CANCELLED", 3}, {false, "CANCELLED", 3},
    };
    QString anterior;
    for (size_t i = 0; i < std::size(pasos); ++i) {
        const QString ruta = dir.filePath(QStringLiteral("%1.ics").arg(i));
        EscritorIcs e(QStringLiteral("sqlite/GESTION"), QStringLiteral("C"), kDesde, kHasta,
                      QDateTime());
        e.retoma(anterior);
        ASSERT_TRUE(e.abre(ruta, nullptr));
        for (const Orden& o : conDia(pasos[i].esta)) {
            e.orden(o.o);
            for (const QDate& d : o.dias) e.visita(d);
        }
        ASSERT_TRUE(e.cierra(anterior, nullptr));
        int vistos = 0;
        for (const EventoIcs& ev : lee(ruta)) {
            if (ev.dia != dia) {
                EXPECT_EQ(ev.secuencia, 0) << "the other day, export " << i;
                continue;
            }
            ++vistos;
            EXPECT_EQ(ev.estado, QString::fromLatin1(pasos[i].estado)) << "export " << i;
            EXPECT_EQ(ev.secuencia, pasos[i].secuencia) << "export " << i;
        }
        EXPECT_EQ(vistos, 1) << "export " << i;
        anterior = ruta;
    }
}

TEST(CancelacionIcs, SeveralVisitsOfAnOrderOnOneDayAreEventsOfTheirOwnAcrossExports) {
    QTemporaryDir dir;
    const QDate dia(2026, 4, 7);
    auto orden = [&](int veces) {
        Orden o{{QStringLiteral("9-MANT"),
                 QStringLiteral("N9"),
                 QStringLiteral("Equipo 9"),
                 {},
                 {},
                 {}},
                {QDate(2026, 4, 6)}};
        for (int k = 0; k < veces; ++k) o.dias.push_back(dia);
        o.dias.push_back(QDate(2026, 4, 8));
        return std::vector<Orden>{o};
    };
    const QString ruta[] = {dir.filePath(QStringLiteral("1.ics")),
                            dir.filePath(QStringLiteral("2.ics")),
                            dir.filePath(QStringLiteral("3.ics"))};
    ASSERT_TRUE(
        exporta(ruta[0], orden(3), {}, QStringLiteral("sqlite/GESTION"), kDesde, kHasta).ok);
    std::map<QString, EventoIcs> primero;
    for (const EventoIcs& e : lee(ruta[0])) primero[e.uid] = e;
    ASSERT_EQ(primero.size(), 5u) << "three visits on one day, one on each day around it";
    int ese = 0;
    for (const auto& [uid, e] : primero) ese += e.dia == dia;
    EXPECT_EQ(ese, 3);

    // One visit fewer that day: exactly one of its events is cancelled, the others kept.
    const Resultado r =
        exporta(ruta[1], orden(2), ruta[0], QStringLiteral("sqlite/GESTION"), kDesde, kHasta);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.visitas, 4);
    EXPECT_EQ(r.canceladas, 1);
    const Cuenta c = cuenta(ruta[1]);
    EXPECT_EQ(c.confirmados, 4);
    ASSERT_EQ(c.cancelados.size(), 1u);
    EXPECT_EQ(c.cancelados.begin()->second.dia, dia);
    EXPECT_TRUE(primero.count(c.cancelados.begin()->first)) << "the same identity as before";

    // Back to three: the same identities as the first export.
    ASSERT_TRUE(
        exporta(ruta[2], orden(3), {}, QStringLiteral("sqlite/GESTION"), kDesde, kHasta).ok);
    std::map<QString, EventoIcs> tercero;
    for (const EventoIcs& e : lee(ruta[2])) tercero[e.uid] = e;
    for (const auto& [uid, e] : primero) EXPECT_TRUE(tercero.count(uid)) << uid.toStdString();
}
