// What only the embedded engine does: several users of one file, opening files that are not
// what they should be, names without regard to case.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <atomic>
#include <future>
#include <thread>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/Failure.h"
#include "platform/Process.h"
#include "tests/support/FailureNumber.h"
#include "tests/support/Hostiles.h"
#include "tests/support/ImprimeQString.h"

using namespace ado;
using platform::Variant;

namespace {

QString textoDe(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Failure& e) {
        return e.info().description;
    }
    return {};
}

class Embebido : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("GESTION.db"));
        SqliteEngine::create(path);
        auto e = SqliteEngine::open(path);
        e->executeRaw(QStringLiteral("CREATE TABLE T (N INTEGER, Texto VARCHAR(10))"));
        for (int i = 0; i < 50; ++i)
            e->executeRaw(QStringLiteral("INSERT INTO T VALUES (%1, 'x')").arg(i));
    }
    QString cadena(const QString& base) const {
        return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=x;Pwd=;").arg(base);
    }

    QTemporaryDir dir;
    QString path;
};

TEST_F(Embebido, AWriteWithAReadStillOpenWaitsForTheOtherUser) {
    Connection a, b;
    a.open(cadena(path));
    b.open(cadena(path));
    a.setCommandTimeout(30);
    // A reads, and keeps its recordset open on the first row.
    Recordset rs;
    rs.open(QStringLiteral("SELECT N FROM T ORDER BY N"), a, adcursor::ForwardOnly,
            adlock::ReadOnly);
    ASSERT_FALSE(rs.eof());
    // B writes and holds its transaction for a second.
    b.beginTrans();
    b.execute(QStringLiteral("INSERT INTO T VALUES (100, 'b')"));
    // B lets go only once A has begun its write, so that a write that did not wait is back
    // before B let go however slowly either thread runs.
    std::promise<void> empieza;
    std::atomic<bool> soltado{false};
    std::thread suelta([&, empezo = empieza.get_future()] {
        empezo.wait();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        soltado = true;
        b.commitTrans();
    });
    const QString error = textoDe([&] {
        empieza.set_value();
        a.execute(QStringLiteral("INSERT INTO T VALUES (200, 'a')"));
    });
    // A write that did not wait would be back before the other user let go.
    const bool espero = soltado;
    suelta.join();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(espero) << "the write waited for the other user's transaction";
    // The open read still hands out every row it had.
    int filas = 0;
    for (; !rs.eof(); rs.moveNext()) ++filas;
    EXPECT_EQ(filas, 50);
    auto cuenta = a.execute(QStringLiteral("SELECT COUNT(*) FROM T"));
    EXPECT_EQ(cuenta->field(0).value().toNumber(), 52);
}

TEST_F(Embebido, DatabaseNamesAreFoundWithoutRegardToCase) {
    platform::process::setProgramFolder(dir.path());
    for (const char* nombre : {"GESTION", "gestion", "Gestion.DB"}) {
        Connection c;
        const QString error = textoDe([&] { c.open(cadena(QString::fromUtf8(nombre))); });
        EXPECT_TRUE(error.isEmpty()) << nombre << ": " << error.toStdString();
    }
    platform::process::setProgramFolder({});
}

TEST_F(Embebido, AFileThatCannotBeOpenedIsNamedForWhatItIs) {
    const QString vacio = dir.filePath(QStringLiteral("VACIO.db"));
    QFile(vacio).open(QIODevice::WriteOnly);
    const QString texto = dir.filePath(QStringLiteral("TEXTO.db"));
    {
        QFile f(texto);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    Connection c;
    EXPECT_TRUE(
        textoDe([&] { c.open(cadena(vacio)); }).contains(QStringLiteral("el archivo no existe")))
        << "an empty file is refused like a missing one";
    EXPECT_EQ(QFileInfo(vacio).size(), 0) << "and stays as it was";
    EXPECT_TRUE(textoDe([&] {
                    c.open(cadena(texto));
                }).contains(QStringLiteral("no es una base de datos válida")));
}

TEST_F(Embebido, ADatabaseThatIsNotARegularFileIsNamedForWhatItIsAndNeverOpened) {
    const QString ruta = dir.filePath(QStringLiteral("OTRA.db"));
    for (const auto& caso : hostiles::noComunes()) {
        ASSERT_TRUE(caso.pon(ruta)) << caso.nombre;
        const QString antes = hostiles::claseDe(ruta);
        hostiles::Vigia vigia(dir.path());
        Connection c;
        const QString error = textoDe([&] { c.open(cadena(ruta)); });
        EXPECT_FALSE(vigia.termina()) << caso.nombre;
        EXPECT_TRUE(error.contains(QStringLiteral("«%1» %2").arg(ruta, caso.causa)))
            << caso.nombre << ": " << error.toStdString();
        EXPECT_FALSE(error.contains(QStringLiteral("no existe"))) << caso.nombre;
        EXPECT_EQ(hostiles::claseDe(ruta), antes) << caso.nombre;
    }
}

TEST_F(Embebido, ADatabaseThatCannotBeReadIsNamedAsSuch) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    const QString ruta = dir.filePath(QStringLiteral("OTRA.db"));
    ASSERT_TRUE(QFile::copy(path, ruta));
    ASSERT_TRUE(QFile::setPermissions(ruta, QFileDevice::WriteOwner));
    Connection c;
    const QString error = textoDe([&] { c.open(cadena(ruta)); });
    EXPECT_TRUE(
        error.contains(QStringLiteral("«%1» no se puede leer (permiso denegado)").arg(ruta)))
        << error.toStdString();
}

// A read-only folder: a read-only bind mount of a folder of the test's own (needs the right to
// mount; skipped elsewhere).
TEST_F(Embebido, AReadOnlyFolderIsNamedAsSuch) {
    const QString ro = dir.filePath(QStringLiteral("ro"));
    QDir().mkpath(ro);
    ASSERT_TRUE(QFile::copy(path, ro + QStringLiteral("/GESTION.db")));
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), ro, ro}) != 0)
        GTEST_SKIP() << "no right to mount here";
    struct Desmonta {
        QString carpeta;
        ~Desmonta() { QProcess::execute(QStringLiteral("umount"), {carpeta}); }
    } desmonta{ro};
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), ro}),
              0);
    Connection c;
    const QString error = textoDe([&] { c.open(cadena(ro + QStringLiteral("/GESTION.db"))); });
    EXPECT_TRUE(error.contains(QStringLiteral("solo lectura"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("no es una base de datos"))) << error.toStdString();
}

TEST_F(Embebido, UserTextStaysAsWrittenAndDatesAreStoredAsDates) {
    SqliteEngine::open(path)->executeRaw(QStringLiteral(
        "CREATE TABLE Acceso (Id INTEGER PRIMARY KEY, Comentario VARCHAR(50), Ingreso DATETIME);"
        "INSERT INTO Acceso (Comentario, Ingreso) VALUES ('viejo', '15/06/26 10:00')"));
    Connection c;
    c.open(cadena(path));
    c.execute(
        QStringLiteral("INSERT INTO Acceso (Comentario, Ingreso) VALUES ('15/03/2026', "
                       "'02/12/26 09:30')"));
    c.execute(QStringLiteral("UPDATE Acceso SET Comentario = '01/01/2027' WHERE Id = 1"));
    ado::Command alta;
    alta.setActiveConnection(c);
    alta.setCommandText(QStringLiteral("INSERT INTO Acceso (Comentario, Ingreso) VALUES (?, ?)"));
    alta.execute(
        {Variant(QStringLiteral("20/12/2026")), Variant(QStringLiteral("20/12/26 18:00"))});
    auto rs = c.execute(QStringLiteral("SELECT Comentario FROM Acceso ORDER BY Id"));
    QStringList comentarios;
    for (; !rs->eof(); rs->moveNext()) comentarios << rs->field(0).value().text();
    EXPECT_EQ(comentarios, QStringList({"01/01/2027", "15/03/2026", "20/12/2026"}))
        << "texts are stored exactly as written";
    // December rows are found, and the latest one is the latest.
    auto dic =
        c.execute(QStringLiteral("SELECT COUNT(*) FROM Acceso WHERE Ingreso >= '01/12/2026'"));
    EXPECT_EQ(dic->field(0).value().toNumber(), 2);
    auto max = c.execute(QStringLiteral("SELECT MAX(Ingreso) FROM Acceso"));
    EXPECT_EQ(max->field(0).value().toText(), QStringLiteral("20/12/2026 18:00:00"));
    // A row an earlier version wrote as text reads back as a date.
    auto viejo = c.execute(QStringLiteral("SELECT Ingreso FROM Acceso WHERE Id = 1"));
    ASSERT_TRUE(viejo->field(0).value().isDate());
    EXPECT_EQ(viejo->field(0).value().date(), QDateTime(QDate(2026, 6, 15), QTime(10, 0)));
}

TEST_F(Embebido, ATextLongerThanItsColumnFailsAndChangesNothing) {
    Connection c;
    c.open(cadena(path));
    const struct Caso {
        const char* sql;
        bool falla;
    } casos[] = {
        {"INSERT INTO T (N, Texto) VALUES (1, '0123456789')", false},
        {"INSERT INTO T (N, Texto) VALUES (2, '0123456789   ')", false},  // blanks beyond: cut
        {"INSERT INTO T (N, Texto) VALUES (3, '01234567890')", true},
        {"INSERT INTO T (N, Texto) VALUES (4, 'ñandúñandúñ')", true},
        {"UPDATE T SET Texto = 'abcdefghijk' WHERE N = 1", true},
        {"INSERT INTO T (N, Texto) VALUES (5, 'corto'), (6, 'demasiado largo')", true},
    };
    for (const Caso& k : casos) {
        auto antes = c.execute(QStringLiteral("SELECT COUNT(*), MAX(Texto) FROM T"));
        const double filas = antes->field(0).value().toNumber();
        const QString mayor = antes->field(1).value().toText();
        qint32 numero = 0, nativo = 0;
        try {
            c.execute(QString::fromUtf8(k.sql));
        } catch (const platform::Failure& f) {
            numero = f.info().number;
            nativo = c.errors().count() > 0 ? c.errors().item(0).nativeError : 0;
        }
        EXPECT_EQ(numero != 0, k.falla) << k.sql;
        if (!k.falla) continue;
        EXPECT_EQ(nativo, 8152) << k.sql;
        auto despues = c.execute(QStringLiteral("SELECT COUNT(*), MAX(Texto) FROM T"));
        EXPECT_EQ(despues->field(0).value().toNumber(), filas) << k.sql;
        EXPECT_EQ(despues->field(1).value().toText(), mayor) << k.sql;
    }
    // Values bound to a prepared insert are held to the same lengths.
    ado::Command alta;
    alta.setActiveConnection(c);
    alta.setCommandText(QStringLiteral("INSERT INTO T (N, Texto) VALUES (?, ?), (?, ?)"));
    EXPECT_NO_THROW(alta.execute({Variant(70), Variant(QStringLiteral("0123456789")), Variant(80),
                                  Variant(QStringLiteral("ab        "))}));
    EXPECT_THROW(alta.execute({Variant(90), Variant(QStringLiteral("corto")), Variant(91),
                               Variant(QStringLiteral("01234567890"))}),
                 platform::Failure);
    EXPECT_EQ(c.errors().item(0).nativeError, 8152);
    auto nueve = c.execute(QStringLiteral("SELECT COUNT(*) FROM T WHERE N IN (90, 91)"));
    EXPECT_EQ(nueve->field(0).value().toNumber(), 0) << "the statement changed nothing";
    // A table created by this connection is checked too.
    c.execute(QStringLiteral("CREATE TABLE Nueva (C VARCHAR(3))"));
    EXPECT_THROW(c.execute(QStringLiteral("INSERT INTO Nueva VALUES ('abcd')")), platform::Failure);
}

}  // namespace

namespace {

// How the engine would read one user's rows of a table: "SEARCH ... USING INDEX" or "SCAN".
QString planFor(const QString& path, const char* statement) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    ado::registerSqliteExtensions(db);
    sqlite3_stmt* st = nullptr;
    QString plan;
    if (sqlite3_prepare_v2(db, (QByteArray("EXPLAIN QUERY PLAN ") + statement).constData(), -1, &st,
                           nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) +
                    QLatin1Char(';');
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return plan;
}

TEST_F(Embebido, AMeasuredTableOfOneUserIsReadStraightThrough) {
    Connection c;
    c.open(cadena(path));
    c.execute(QStringLiteral("CREATE TABLE AUX (USUARIO VARCHAR(50) COLLATE CI, N INTEGER)"));
    c.execute(QStringLiteral("CREATE INDEX IX_AUX ON AUX (USUARIO)"));
    c.beginTrans();
    for (int i = 0; i < 2000; ++i)
        c.execute(QStringLiteral("INSERT INTO AUX VALUES ('%1', %2)")
                      .arg(i < 1990 ? "PC01|JUAN" : "PC02|ANA")
                      .arg(i));
    c.commitTrans();
    const char* oneUser = "SELECT DISTINCT N FROM AUX WHERE USUARIO = 'PC01|JUAN'";
    // Unmeasured, an equality on an indexed column looks selective.
    EXPECT_TRUE(planFor(path, oneUser).contains(QStringLiteral("USING INDEX IX_AUX")))
        << planFor(path, oneUser).toStdString();
    c.refreshStatistics(QStringLiteral("AUX"));
    EXPECT_TRUE(planFor(path, oneUser).contains(QStringLiteral("SCAN AUX")))
        << planFor(path, oneUser).toStdString();
    // A failed measure is not raised: the plan is only slower without it.
    SqliteEngine::failCallFromNow(1);
    EXPECT_NO_THROW(c.refreshStatistics(QStringLiteral("AUX")));
    SqliteEngine::failCallFromNow(0);
    EXPECT_NO_THROW(c.refreshStatistics(QStringLiteral("NO_EXISTE")));
}

}  // namespace

namespace {

TEST_F(Embebido, AFullDiskAndAMemoryRefusalAreNumberedAsWhatTheyAre) {
    Connection c;
    c.open(cadena(path));
    // The file may not grow beyond its pages: the next write meets a full disk.
    c.execute(QStringLiteral("PRAGMA max_page_count = 1"));
    const auto llena = [&] {
        c.execute(QStringLiteral("INSERT INTO T (N, Texto) SELECT N + 100, 'y' FROM T"));
        c.execute(QStringLiteral("CREATE TABLE Grande (Texto VARCHAR(8000))"));
    };
    const qint32 lleno = failureNumber(llena);
    EXPECT_NE(lleno, code::EFail) << "a full disk is no lost connection";
    EXPECT_EQ(lleno, code::ErrorsOccurred);
    EXPECT_TRUE(textoDe(llena).contains(QStringLiteral("disco está lleno")))
        << textoDe(llena).toStdString();

    // Every allocation beyond a small heap is refused.
    const sqlite3_int64 antes = sqlite3_hard_heap_limit64(-1);
    sqlite3_hard_heap_limit64(sqlite3_memory_used() + 64 * 1024);
    const auto sinMemoria = [&] {
        Recordset rs;
        rs.open(QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                    "WHERE i < 200000) SELECT i, printf('%0500d', i) FROM n ORDER BY 2 DESC"),
                c, adcursor::Static, adlock::ReadOnly);
    };
    const qint32 memoria = failureNumber(sinMemoria);
    sqlite3_hard_heap_limit64(antes);
    EXPECT_EQ(memoria, platform::errnum::OutOfMemory);
}

}  // namespace

namespace {

// The rows of R as text, one line each: what was stored, whatever the engine kept bound.
QString filasDe(Connection& c) {
    auto rs = c.execute(
        QStringLiteral("SELECT N || '|' || IFNULL(A, 'null') || '|' || IFNULL(B, 'null') || '|' || "
                       "IFNULL(F, 'null') FROM R ORDER BY N"));
    QStringList filas;
    for (; !rs->eof(); rs->moveNext()) filas << rs->field(0).value().text();
    return filas.join(QLatin1Char('\n'));
}

// A prepared insert keeps what it converted for each column and may leave the engine reading its
// values in place: every execution must still store its own values, whatever repeats.
TEST_F(Embebido, EachExecutionOfAPreparedInsertStoresItsOwnValues) {
    Connection c;
    c.open(cadena(path));
    c.execute(
        QStringLiteral("CREATE TABLE R (N INTEGER, A VARCHAR(20), B VARCHAR(20), F DATETIME)"));
    ado::Command alta;
    alta.setActiveConnection(c);
    alta.setCommandText(
        QStringLiteral("INSERT INTO R (N, A, B, F) VALUES (?, ?, ?, ?), (?, ?, ?, ?)"));
    QString mutable_ = QStringLiteral("uno");
    const QDateTime noche(QDate(2026, 3, 9), QTime(0, 0));
    const QDateTime tarde(QDate(2026, 3, 9), QTime(18, 5, 7));
    const struct Caso {
        std::vector<Variant> valores;
        const char* guardado;  // the two rows as filasDe shows them
    } casos[] = {
        {{Variant(1), Variant(QStringLiteral("uno")), Variant(QStringLiteral("uno")),
          Variant(noche), Variant(2), Variant(QStringLiteral("uno")),
          Variant(QStringLiteral("dos")), Variant(tarde)},
         "1|uno|uno|2026-03-09\n2|uno|dos|2026-03-09 18:05:07"},
        // the same length, other letters; another column's earlier text
        {{Variant(3), Variant(QStringLiteral("UNO")), Variant(QStringLiteral("uno")),
          Variant(QDateTime(QDate(999, 12, 31), QTime(0, 0))), Variant(4),
          Variant(QStringLiteral("ñandú")), Variant(QString()), Variant::null()},
         "3|UNO|uno|0999-12-31\n4|ñandú||null"},
        // an empty text between two equal ones; a null where a text was
        {{Variant(5), Variant(QStringLiteral("ñandú")), Variant::null(), Variant(tarde), Variant(6),
          Variant(QString()), Variant(QStringLiteral("ñandú")), Variant(noche)},
         "5|ñandú|null|2026-03-09 18:05:07\n6||ñandú|2026-03-09"},
    };
    int n = 0;
    QString esperado;
    for (const Caso& k : casos) {
        alta.execute(k.valores);
        esperado += (n++ ? QStringLiteral("\n") : QString()) + QString::fromUtf8(k.guardado);
        EXPECT_EQ(filasDe(c), esperado) << "after execution " << n;
    }
    // A text changed in place after it was bound is bound again as it now reads.
    alta.execute({Variant(7), Variant(mutable_), Variant(mutable_), Variant(noche), Variant(8),
                  Variant(mutable_), Variant(mutable_), Variant(noche)});
    mutable_[0] = QLatin1Char('U');
    alta.execute({Variant(9), Variant(mutable_), Variant(mutable_), Variant(noche), Variant(10),
                  Variant(mutable_), Variant(mutable_), Variant(noche)});
    EXPECT_TRUE(filasDe(c).endsWith(
        QStringLiteral("7|uno|uno|2026-03-09\n8|uno|uno|2026-03-09\n9|Uno|Uno|2026-03-09\n"
                       "10|Uno|Uno|2026-03-09")))
        << filasDe(c).toStdString();
}

// What a parameter still holds from the last execution is not bound again: every value that
// follows another, of any kind, in the same parameter or in another of its column, is stored
// as given.
TEST_F(Embebido, APreparedInsertStoresEachValueWhateverTheParameterHeldBefore) {
    Connection c;
    c.open(cadena(path));
    c.execute(QStringLiteral(
        "CREATE TABLE S (N INTEGER, A VARCHAR(20), M DECIMAL(18,4), F DATETIME)"));
    ado::Command alta;
    alta.setActiveConnection(c);
    alta.setCommandText(
        QStringLiteral("INSERT INTO S (N, A, M, F) VALUES (?, ?, ?, ?), (?, ?, ?, ?)"));
    const Variant uno(QStringLiteral("uno")), dos(QStringLiteral("dos")), vacio{QString()};
    const Variant noche(QDateTime(QDate(2026, 3, 9), QTime(0, 0)));
    const Variant tarde(QDateTime(QDate(2026, 3, 9), QTime(18, 5, 7)));
    const Variant nada = Variant::null();
    // Two rows an execution: text, number, date of each.
    const std::vector<std::array<Variant, 6>> ejecuciones = {
        {uno, Variant(0), noche, uno, Variant(0), noche},
        {uno, Variant(0), noche, dos, Variant(1), tarde},
        {nada, nada, nada, dos, Variant(1), tarde},
        {uno, Variant(0), noche, dos, Variant(1.5), tarde},
        {vacio, Variant(1.5), noche, vacio, Variant(true), noche},
        {vacio, Variant(QStringLiteral("7")), tarde, uno, Variant(7), noche},
        {uno, Variant(7), tarde, vacio, Variant(QStringLiteral("7")), noche},
        {dos, Variant(-0.0), uno, uno, Variant(0), nada},
    };
    QStringList esperado;
    int n = 0;
    auto texto = [](const Variant& v) {
        if (v.isNull()) return QStringLiteral("NULL");
        if (v.isText()) return v.text() == QStringLiteral("uno") || v.text() == QStringLiteral("dos") ||
                                       v.text().isEmpty()
                                   ? QStringLiteral("'%1'").arg(v.text())
                                   : v.text();
        if (v.isDate())
            return v.date().time() == QTime(0, 0) ? QStringLiteral("'2026-03-09'")
                                                  : QStringLiteral("'2026-03-09 18:05:07'");
        if (v.isBoolean()) return QStringLiteral("1");
        return QString::number(v.number());
    };
    for (const auto& e : ejecuciones) {
        std::vector<Variant> valores;
        for (int fila = 0; fila < 2; ++fila) {
            valores.emplace_back(++n);
            const QStringList partes = {QString::number(n), texto(e[fila * 3]),
                                        texto(e[fila * 3 + 1]), texto(e[fila * 3 + 2])};
            esperado << partes.join(QLatin1Char('|'));
            for (int k = 0; k < 3; ++k) valores.push_back(e[fila * 3 + k]);
        }
        alta.execute(valores);
    }
    auto rs = c.execute(QStringLiteral(
        "SELECT N || '|' || quote(A) || '|' || quote(M) || '|' || quote(F) FROM S ORDER BY N"));
    QStringList filas;
    for (; !rs->eof(); rs->moveNext()) filas << rs->field(0).value().text();
    EXPECT_EQ(filas.join(QLatin1Char('\n')), esperado.join(QLatin1Char('\n')));
}

// Dates bound to a prepared insert are stored as the calendar writes them, whatever the year,
// the month's length or the time of day.
TEST_F(Embebido, ADateBoundToAnInsertIsStoredAsTheCalendarWritesIt) {
    Connection c;
    c.open(cadena(path));
    c.execute(QStringLiteral("CREATE TABLE D (N INTEGER, F DATETIME)"));
    ado::Command alta;
    alta.setActiveConnection(c);
    alta.setCommandText(QStringLiteral("INSERT INTO D (N, F) VALUES (?, ?)"));
    std::vector<QDateTime> fechas = {
        QDateTime(QDate(1, 1, 1), QTime(0, 0)), QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)),
        QDateTime(QDate(2000, 2, 29), QTime(0, 0, 1)), QDateTime(QDate(1900, 2, 28), QTime(12, 0)),
        QDateTime(QDate(-5, 3, 1), QTime(0, 0))};
    for (QDate d(1582, 10, 1); d < QDate(2500, 1, 1); d = d.addDays(13))
        fechas.emplace_back(d, QTime(0, 0));
    for (int s = 0; s < 86400; s += 3599)
        fechas.emplace_back(QDate(2026, 12, 31), QTime(0, 0).addSecs(s));
    c.beginTrans();
    for (std::size_t i = 0; i < fechas.size(); ++i)
        alta.execute({Variant(static_cast<qint64>(i)), Variant(fechas[i])});
    c.commitTrans();
    auto rs = c.execute(QStringLiteral("SELECT N, '#' || F FROM D ORDER BY N"));
    std::size_t leidas = 0;
    for (; !rs->eof(); rs->moveNext(), ++leidas) {
        const QDateTime& f = fechas[static_cast<std::size_t>(rs->field(0).value().toNumber())];
        const QDate d = f.date();
        const QString esperada =
            QStringLiteral("#%1-%2-%3")
                .arg(d.year(), 4, 10, QLatin1Char('0'))
                .arg(d.month(), 2, 10, QLatin1Char('0'))
                .arg(d.day(), 2, 10, QLatin1Char('0')) +
            (f.time() == QTime(0, 0) ? QString() : f.time().toString(QStringLiteral(" HH:mm:ss")));
        EXPECT_EQ(rs->field(1).value().toText(), esperada);
    }
    EXPECT_EQ(leidas, fechas.size());
}

// A query's statement goes with its cursor: executing it again with another value must not change
// what the open cursor still reads.
TEST_F(Embebido, AnOpenCursorKeepsTheValuesItsQueryWasRunWith) {
    Connection c;
    c.open(cadena(path));
    ado::Command consulta;
    consulta.setActiveConnection(c);
    consulta.setCommandText(QStringLiteral("SELECT N FROM T WHERE Texto = ? OR N = ? ORDER BY N"));
    std::shared_ptr<Recordset> primera, segunda;
    consulta.execute({Variant(QStringLiteral("x")), Variant(-1)}, &primera);
    consulta.execute({Variant(QStringLiteral("nada")), Variant(7)}, &segunda);
    int filas = 0;
    for (; !primera->eof(); primera->moveNext()) ++filas;
    EXPECT_EQ(filas, 50);
    ASSERT_FALSE(segunda->eof());
    EXPECT_EQ(segunda->field(0).value().toNumber(), 7);
    segunda->moveNext();
    EXPECT_TRUE(segunda->eof());
}

}  // namespace
