// One suite run against the embedded engine and against a real ODBC driver (the SQLite one),
// so that both engines answer the same statements with the same results.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <clocale>
#include <string>
#include <future>
#include <thread>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/core/Error.h"
#include "ado/sqlite/SqliteEngine.h"
#include "platform/Failure.h"
#include "platform/Process.h"
#include "tests/support/FailureNumber.h"

using namespace ado;
using platform::Failure;
using platform::Variant;

namespace {

const char* kOdbcDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

enum class Kind { Embedded, OdbcSqlite };

std::string kindName(const testing::TestParamInfo<Kind>& i) {
    return i.param == Kind::Embedded ? "Embedded" : "OdbcSqlite";
}

class DataLayer : public testing::TestWithParam<Kind> {
  protected:
    void SetUp() override {
        if (GetParam() == Kind::OdbcSqlite && !QFileInfo::exists(QString::fromUtf8(kOdbcDriver)))
            GTEST_SKIP() << "SQLite ODBC driver not installed";
        path_ = dir_.filePath(QStringLiteral("prueba.db"));
        SqliteEngine::create(path_);
        cnn_.open(connectionString());
        exec(
            "CREATE TABLE Clientes (Codigo VARCHAR(6) NOT NULL PRIMARY KEY, Nombre VARCHAR(50) "
            "NULL, "
            "Alta DATETIME NULL, Activo BIT NULL, Saldo FLOAT NULL, Visitas INT NULL)");
        exec(
            "INSERT INTO Clientes (Codigo, Nombre, Alta, Activo, Saldo, Visitas) VALUES "
            "('     1', 'Panadería Núñez', '31/01/2026', 1, 10.5, 3)");
        exec(
            "INSERT INTO Clientes (Codigo, Nombre, Alta, Activo, Saldo, Visitas) VALUES "
            "('     2', 'Taller O''Higgins', '15/02/2026 08:30', 0, NULL, 0)");
        exec(
            "INSERT INTO Clientes (Codigo, Nombre, Alta, Activo, Saldo, Visitas) VALUES ('     3', "
            "'', NULL, NULL, 0, NULL)");
    }

    QString connectionString() const {
        if (GetParam() == Kind::Embedded)
            return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=sa;Pwd=;")
                .arg(path_);
        return QStringLiteral("Driver=%1;Database=%2;").arg(QString::fromUtf8(kOdbcDriver), path_);
    }

    std::shared_ptr<Recordset> exec(const char* sql, qint64* affected = nullptr) {
        return cnn_.execute(QString::fromUtf8(sql), affected);
    }

    std::shared_ptr<Recordset> query(const char* sql, int cursor = adcursor::ForwardOnly,
                                     int lock = adlock::ReadOnly) {
        auto rs = std::make_shared<Recordset>();
        rs->open(QString::fromUtf8(sql), cnn_, cursor, lock);
        return rs;
    }

    QVariantList column(const char* sql) {
        QVariantList out;
        auto rs = query(sql);
        while (!rs->eof()) {
            const Variant v = rs->field(0).value();
            out << (v.isNull() ? QVariant() : QVariant(v.toText()));
            rs->moveNext();
        }
        return out;
    }

    bool embedded() const { return GetParam() == Kind::Embedded; }

    QTemporaryDir dir_;
    QString path_;
    Connection cnn_;
};

TEST_P(DataLayer, SqlServerStatementsGiveTheSameResults) {
    struct Case {
        const char* sql;
        QVariantList expected;
    } cases[] = {
        {"SELECT TOP 2 Codigo FROM Clientes with(nolock) ORDER BY Codigo", {"     1", "     2"}},
        {"SELECT TOP 100 PERCENT Codigo FROM dbo.Clientes WITH (NOLOCK) WHERE Codigo > '     2'",
         {"     3"}},
        {"SELECT ISNULL(Saldo, -1) FROM Clientes ORDER BY Codigo", {"10,5", "-1", "0"}},
        {"SELECT LEN(Codigo) FROM Clientes WHERE Codigo = '     1'", {"6"}},
        {"SELECT SUBSTRING(Nombre, 1, 8) FROM Clientes WHERE Codigo = '     1'", {"Panaderí"}},
        {"SELECT CHARINDEX('O''H', Nombre) FROM Clientes WHERE Codigo = '     2'", {"8"}},
        {"SELECT Codigo FROM Clientes WHERE Alta >= '01/02/2026' AND Alta <= '28/02/2026 23:59'",
         {"     2"}},
        {"SELECT Codigo FROM Clientes WHERE Alta = '31/01/2026'", {"     1"}},
        {"SELECT COUNT(*) FROM Clientes WHERE Nombre LIKE 'Taller%'", {"1"}},
        {"SELECT Codigo FROM Clientes WHERE Codigo IN (SELECT TOP 1 Codigo FROM Clientes ORDER BY "
         "Codigo DESC)",
         {"     3"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(column(c.sql), c.expected) << c.sql;
    }
}

TEST_P(DataLayer, RecordsetsReadRowsFieldsAndTypes) {
    auto rs = query("SELECT * FROM Clientes WHERE Codigo = '     1'");
    EXPECT_EQ(rs->state(), adstate::Open);
    EXPECT_FALSE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->field(QStringLiteral("nombre")).value().text(),
              QStringLiteral("Panadería Núñez"));
    EXPECT_EQ(rs->field(QStringLiteral("NOMBRE")).name(), QStringLiteral("Nombre"));
    EXPECT_EQ(rs->field(QStringLiteral("Alta")).value().date(),
              QDateTime(QDate(2026, 1, 31), QTime(0, 0)));
    EXPECT_TRUE(rs->field(QStringLiteral("Activo")).value().isBoolean());
    EXPECT_TRUE(rs->field(QStringLiteral("Activo")).value().boolean());
    EXPECT_DOUBLE_EQ(rs->field(QStringLiteral("Saldo")).value().number(), 10.5);
    struct TypeCase {
        const char* field;
        int type;
    } types[] = {{"Codigo", embedded() ? adtype::VarChar : adtype::VarChar},
                 {"Alta", adtype::DBTimeStamp},
                 {"Activo", adtype::Boolean},
                 {"Saldo", adtype::Double},
                 {"Visitas", adtype::Integer}};
    for (const auto& t : types) {
        const int got = rs->field(QString::fromUtf8(t.field)).type();
        if (!embedded() && (got == adtype::VarWChar || got == adtype::SmallInt))
            continue;  // driver's own choice
        EXPECT_EQ(got, t.type) << t.field;
    }
    EXPECT_EQ(rs->field(QStringLiteral("Codigo")).definedSize(), 6);
    EXPECT_EQ(failureNumber([&] { rs->field(QStringLiteral("NoExiste")); }), code::ItemNotFound);
    EXPECT_EQ(failureNumber([&] { rs->field(99); }), code::ItemNotFound);
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(failureNumber([&] { rs->field(0).value(); }), code::BofOrEof);
    EXPECT_EQ(failureNumber([&] { rs->moveNext(); }), code::BofOrEof);
    rs->close();
    EXPECT_EQ(rs->state(), adstate::Closed);
    EXPECT_EQ(failureNumber([&] { rs->close(); }), code::ObjectClosed);

    auto empty = query("SELECT * FROM Clientes WHERE 1 = 0");
    EXPECT_TRUE(empty->bof());
    EXPECT_TRUE(empty->eof());
    EXPECT_EQ(empty->fieldCount(), 6);
}

TEST_P(DataLayer, NullAndEmptyTextStayApart) {
    auto rs = query("SELECT Nombre, Alta, Saldo FROM Clientes WHERE Codigo = '     3'");
    EXPECT_TRUE(rs->field(0).value().isText());
    EXPECT_EQ(rs->field(0).value().text(), QString());
    EXPECT_TRUE(rs->field(1).value().isNull());
    EXPECT_FALSE(rs->field(2).value().isNull());
}

TEST_P(DataLayer, AddNewAndUpdateWriteThroughTheRecordset) {
    auto rs = query("SELECT * FROM Clientes WHERE Codigo = '     9'", adcursor::Dynamic,
                    adlock::Optimistic);
    EXPECT_TRUE(rs->bof());
    rs->addNew();
    EXPECT_EQ(rs->editMode(), adedit::Add);
    rs->field(QStringLiteral("codigo")).setValue(QStringLiteral("     9"));
    rs->field(QStringLiteral("Nombre")).setValue(QStringLiteral("Ferretería D'Ángelo"));
    rs->field(QStringLiteral("Alta")).setValue(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    rs->field(QStringLiteral("Activo")).setValue(true);
    rs->update();
    EXPECT_EQ(rs->editMode(), adedit::None);
    EXPECT_EQ(column("SELECT Nombre FROM Clientes WHERE Codigo = '     9'"),
              QVariantList{"Ferretería D'Ángelo"});
    EXPECT_EQ(column("SELECT Codigo FROM Clientes WHERE Alta > '08/12/2026'"),
              QVariantList{"     9"});

    auto edit = query("SELECT * FROM Clientes WHERE Codigo = '     2'", adcursor::Dynamic,
                      adlock::Optimistic);
    edit->field(QStringLiteral("Saldo")).setValue(99.25);
    EXPECT_EQ(failureNumber([&] { edit->close(); }), code::OperationNotAllowed)
        << "an edit is pending";
    edit->update();
    EXPECT_EQ(column("SELECT Saldo FROM Clientes WHERE Codigo = '     2'"), QVariantList{"99,25"});

    edit->field(QStringLiteral("Saldo")).setValue(1.0);
    edit->cancelUpdate();
    edit->close();
    EXPECT_EQ(column("SELECT Saldo FROM Clientes WHERE Codigo = '     2'"), QVariantList{"99,25"});

    auto readOnly = query("SELECT * FROM Clientes");
    EXPECT_EQ(failureNumber([&] { readOnly->field(1).setValue(QStringLiteral("x")); }), 3251);
    EXPECT_EQ(failureNumber([&] { readOnly->addNew(); }), 3251);
}

TEST_P(DataLayer, ExecuteReportsAffectedRowsAndUntouchedRowsAreNoError) {
    qint64 n = -5;
    exec("UPDATE Clientes SET Visitas = 7 WHERE Codigo <> '     3'", &n);
    EXPECT_EQ(n, 2);
    exec("DELETE FROM Clientes WHERE Codigo = 'nadie'", &n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(cnn_.errors().count(), 0);
    auto rs = exec("SELECT Codigo FROM Clientes ORDER BY Codigo");
    EXPECT_EQ(rs->field(0).value().text(), QStringLiteral("     1"));
    auto none = exec("UPDATE Clientes SET Visitas = 1 WHERE 1 = 0");
    EXPECT_EQ(none->state(), adstate::Closed);
}

TEST_P(DataLayer, ABatchRunsEveryStatementInOneTransaction) {
    qint64 n = 0;
    exec(
        "BEGIN TRANSACTION \r\r\rINSERT INTO Clientes (Codigo, Nombre) VALUES ('    10', 'Uno; "
        "BEGIN')\r"
        "UPDATE Clientes SET Nombre = 'Dos' WHERE Codigo = '     3'\rCOMMIT TRANSACTION",
        &n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(
        column("SELECT Nombre FROM Clientes WHERE Codigo IN ('    10', '     3') ORDER BY Codigo"),
        (QVariantList{"Dos", "Uno; BEGIN"}));

    exec("BEGIN TRANSACTION \r\rDELETE FROM Clientes\r");
    exec("ROLLBACK TRANSACTION");
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes"), QVariantList{"4"});
}

TEST_P(DataLayer, TransactionsCommitAndRollBack) {
    cnn_.beginTrans();
    exec("DELETE FROM Clientes WHERE Codigo = '     1'");
    cnn_.rollbackTrans();
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes"), QVariantList{"3"});
    cnn_.beginTrans();
    exec("DELETE FROM Clientes WHERE Codigo = '     1'");
    cnn_.commitTrans();
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes"), QVariantList{"2"});
    EXPECT_NE(failureNumber([&] { cnn_.commitTrans(); }), 0) << "no transaction is open";
}

TEST_P(DataLayer, FailuresFillTheErrorsCollection) {
    struct Case {
        const char* sql;
        qint32 number;
        qint32 native;  // embedded engine only
    } cases[] = {
        {"INSERT INTO Clientes (Codigo) VALUES ('     1')", code::Constraint, native::DuplicateKey},
        {"SELECT * FROM NoExiste", code::ObjectNotFound, native::InvalidObject},
        {"SELEC * FROM Clientes", code::CommandText, native::Syntax},
        {"SELECT Nada FROM Clientes", code::CommandText, native::InvalidColumn},
        {"INSERT INTO Clientes (Nombre) VALUES ('sin codigo')", code::Constraint, native::NotNull},
    };
    for (const auto& c : cases) {
        const qint32 got = failureNumber([&] { exec(c.sql); });
        ASSERT_GE(cnn_.errors().count(), 1) << c.sql;
        if (embedded()) {
            EXPECT_EQ(got, c.number) << c.sql;
            EXPECT_EQ(cnn_.errors().item(0).nativeError, c.native) << c.sql;
            EXPECT_FALSE(cnn_.errors().item(0).sqlState.isEmpty());
        } else {
            EXPECT_NE(got, 0) << c.sql;  // the driver's own states; the number is never "no error"
        }
        EXPECT_EQ(cnn_.errors().item(0).number, got);
        EXPECT_FALSE(cnn_.errors().item(0).description.isEmpty());
    }
    exec("SELECT 1");
    EXPECT_EQ(cnn_.errors().count(), 0) << "a new operation starts with a clear collection";
    EXPECT_EQ(failureNumber([&] { cnn_.errors().item(0); }), code::ItemNotFound);
}

TEST_P(DataLayer, ADuplicateKeyGivesTheServerRecordsInOrder) {
    if (!embedded())
        GTEST_SKIP() << "the SQLite ODBC driver reports one record with its own native code";
    failureNumber([&] { exec("INSERT INTO Clientes (Codigo) VALUES ('     2')"); });
    ASSERT_EQ(cnn_.errors().count(), 2);
    EXPECT_EQ(cnn_.errors().item(0).nativeError, 2627);
    EXPECT_EQ(cnn_.errors().item(1).nativeError, 3621);
    EXPECT_EQ(cnn_.errors().item(0).sqlState, QStringLiteral("23000"));
    cnn_.errors().clear();
    EXPECT_EQ(cnn_.errors().count(), 0);
}

TEST_P(DataLayer, TextComparesWithoutCaseAndTrailingBlanks) {
    if (!embedded())
        GTEST_SKIP() << "the SQLite ODBC driver has no case-insensitive collation of ours";
    exec("CREATE TABLE Codigos (Texto VARCHAR(20) NULL)");
    exec("INSERT INTO Codigos (Texto) VALUES ('Código ')");
    struct Case {
        const char* where;
        bool found;
    } cases[] = {{"Texto = 'CÓDIGO'", true},
                 {"Texto = 'código   '", true},
                 {"Texto = 'CODIGO'", false},
                 {"Texto LIKE 'CÓD%'", true},
                 {"CHARINDEX('ÓDI', Texto) = 2", true},
                 {"CHARINDEX('', Texto) = 0", true},
                 {"CHARINDEX('go', Texto, 3) = 5", true},
                 {"UPPER(Texto) = 'CÓDIGO '", true},
                 {"Texto > 'CÓDIGA'", true}};
    for (const auto& c : cases) {
        const QString sql =
            QStringLiteral("SELECT COUNT(*) FROM Codigos WHERE ") + QString::fromUtf8(c.where);
        auto rs = cnn_.execute(sql);
        EXPECT_EQ(rs->field(0).value().number(), c.found ? 1 : 0) << c.where;
    }
}

TEST_P(DataLayer, SchemasListTablesAndColumns) {
    auto tables = cnn_.openSchema(adschema::Tables);
    QStringList names;
    while (!tables->eof()) {
        names << tables->field(QStringLiteral("TABLE_NAME")).value().text();
        tables->moveNext();
    }
    EXPECT_TRUE(names.contains(QStringLiteral("Clientes")));
    auto cols =
        cnn_.openSchema(adschema::Columns, {Variant(QStringLiteral("GESTION")), Variant(),
                                            Variant(QStringLiteral("clientes")), Variant()});
    QStringList colNames;
    while (!cols->eof()) {
        colNames << cols->field(QStringLiteral("COLUMN_NAME")).value().text();
        cols->moveNext();
    }
    EXPECT_EQ(colNames, (QStringList{"Codigo", "Nombre", "Alta", "Activo", "Saldo", "Visitas"}));
}

TEST_P(DataLayer, ConnectionStatesRaiseTheirErrors) {
    EXPECT_EQ(failureNumber([&] { cnn_.open(connectionString()); }), code::ObjectOpen);
    cnn_.close();
    EXPECT_EQ(cnn_.state(), adstate::Closed);
    EXPECT_EQ(failureNumber([&] { cnn_.close(); }), code::ObjectClosed);
    EXPECT_EQ(failureNumber([&] { exec("SELECT 1"); }), code::ConnectionUnusable);
    EXPECT_EQ(failureNumber([&] { query("SELECT 1"); }), code::ConnectionUnusable);
    cnn_.open(connectionString());
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes"), QVariantList{"3"});
}

TEST_P(DataLayer, PreparedCommandsBindValuesSafely) {
    Command cmd;
    cmd.setActiveConnection(cnn_);
    cmd.setCommandText(QStringLiteral(
        "INSERT INTO Clientes (Codigo, Nombre, Alta, Activo, Saldo) VALUES (?, ?, ?, ?, ?)"));
    for (int i = 0; i < 200; ++i) {
        cmd.execute({Variant(QStringLiteral("%1").arg(100 + i, 6)),
                     Variant(QStringLiteral("O'Brien '); DROP TABLE Clientes; --")),
                     Variant(QDate(2027, 1, 1).addDays(i)), Variant(i % 2 == 0),
                     i % 3 ? Variant(i * 1.5) : Variant::null()});
    }
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes WHERE Nombre LIKE 'O''Brien%'"),
              QVariantList{"200"});
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes WHERE Alta >= '01/01/2027' AND Saldo IS NULL"),
              QVariantList{"67"});
    EXPECT_NE(failureNumber([&] {
                  cmd.execute({Variant(QStringLiteral("   100")), Variant(), Variant(), Variant(),
                               Variant()});
              }),
              0);
}

TEST_P(DataLayer, FractionsTravelWholeWhereTheDesktopWritesADecimalComma) {
    // A driver turns bound and fetched numbers into text with the C library.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "es_ES.UTF-8"), nullptr)
        << "es_ES.UTF-8 is not generated (scripts/deps makes it)";
    QVariantList read;
    QString failure;
    try {
        Command cmd;
        cmd.setActiveConnection(cnn_);
        cmd.setCommandText(
            QStringLiteral("INSERT INTO Clientes (Codigo, Nombre, Saldo) VALUES (?, 'x', ?)"));
        cmd.execute({Variant(QStringLiteral("     9")), Variant(1234.75)});
        auto rs = query("SELECT Saldo, Saldo * 2 FROM Clientes WHERE Codigo = '     9'");
        read << rs->field(0).value().toNumber() << rs->field(1).value().toNumber();
    } catch (const Failure& f) {
        failure = f.info().description;
    }
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(read, (QVariantList{1234.75, 2469.5}));
}

TEST_P(DataLayer, AReadOnlyOpenRefusesWhatWouldChangeTheDatabaseBeforeItRuns) {
    struct Case {
        const char* sql;
        bool refused;
        bool embeddedOnly;  // settings of the embedded engine's own database file
    } cases[] = {
        {"DELETE FROM Clientes", true, false},
        {"UPDATE Clientes SET Saldo = 0", true, false},
        {"INSERT INTO Clientes (Codigo) VALUES ('     9') RETURNING Codigo", true, false},
        {"DROP TABLE Clientes", true, false},
        {"CREATE TABLE Otra (a INT)", true, false},
        {"DROP TABLE Clientes; SELECT 1 AS a", true, false},
        {"SELECT Codigo FROM Clientes DELETE FROM Clientes", true, false},
        {"BEGIN TRANSACTION", true, false},
        {"SELECT 1 AS a; -- y nada más", false, false},  // a comment is no second statement
        {"PRAGMA user_version = 7", true, true},
        {"ATTACH DATABASE ':memory:' AS otra", true, true},
    };
    auto estado = [&] {
        return column("SELECT COUNT(*) FROM Clientes WHERE Saldo IS NOT NULL") +
               column("SELECT COUNT(*) FROM sqlite_master WHERE name = 'Otra'") +
               column("PRAGMA user_version");
    };
    const QVariantList antes = estado();
    ASSERT_EQ(antes, (QVariantList{"2", "0", "0"}));
    for (const auto& c : cases) {
        if (c.embeddedOnly && !embedded()) continue;
        SCOPED_TRACE(c.sql);
        Recordset rs;
        const qint32 number =
            failureNumber([&] { rs.openForReading(QString::fromUtf8(c.sql), cnn_); });
        EXPECT_EQ(number, c.refused ? code::NotReadOnly : 0);
        if (c.refused) {
            ASSERT_GE(cnn_.errors().count(), 1);
            EXPECT_EQ(cnn_.errors().item(0).number, code::NotReadOnly);
            EXPECT_EQ(rs.state(), adstate::Closed);
        }
        EXPECT_EQ(estado(), antes);
    }
    // A read opens, streams and starts again; the connection writes as before afterwards.
    Recordset rs;
    rs.openForReading(QStringLiteral("SELECT Codigo FROM Clientes ORDER BY Codigo"), cnn_);
    rs.moveNext();
    rs.moveFirst();
    EXPECT_EQ(rs.field(0).value().text(), QStringLiteral("     1"));
    rs.close();
    exec("INSERT INTO Clientes (Codigo) VALUES ('     9')");
    EXPECT_EQ(column("SELECT COUNT(*) FROM Clientes"), QVariantList{"4"});
}

INSTANTIATE_TEST_SUITE_P(Engines, DataLayer, testing::Values(Kind::Embedded, Kind::OdbcSqlite),
                         kindName);

// ---- embedded engine only ----

TEST(EmbeddedEngine, AMissingFileIsAnErrorAndIsNeverCreated) {
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    Connection cnn;
    const qint32 n = failureNumber([&] {
        cnn.open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =NOEXISTE;UId=sa;Pwd=;"));
    });
    EXPECT_EQ(n, code::EFail);
    EXPECT_EQ(cnn.state(), adstate::Closed);
    ASSERT_EQ(cnn.errors().count(), 1);
    EXPECT_EQ(cnn.errors().item(0).nativeError, native::CannotOpenDatabase);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("NOEXISTE.db"))));

    QFile notDb(dir.filePath(QStringLiteral("texto.db")));
    ASSERT_TRUE(notDb.open(QIODevice::WriteOnly));
    notDb.write(QByteArray(4096, 'x'));
    notDb.close();
    EXPECT_EQ(failureNumber([&] {
                  cnn.open(QStringLiteral(
                      "PROVIDER=SQLOLEDB;Server=sqlite;Database =texto;UId=sa;Pwd=;"));
              }),
              code::EFail);

    // A local desktop database reports the file states of its own kind.
    failureNumber([&] {
        cnn.open(QStringLiteral(
            "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source =falta.mdb;User ID=a;Password=;"));
    });
    ASSERT_EQ(cnn.errors().count(), 1);
    EXPECT_EQ(cnn.errors().item(0).sqlState, QStringLiteral("3024"));
    platform::process::setProgramFolder({});
}

TEST(EmbeddedEngine, TwoUsersOfOneFileWaitForEachOther) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compartida.db"));
    SqliteEngine::create(path);
    const QString cs =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=sa;Pwd=;").arg(path);
    Connection a, b;
    a.open(cs);
    b.open(cs);
    a.execute(QStringLiteral("CREATE TABLE T (N INT)"));
    b.setCommandTimeout(1);
    a.beginTrans();
    a.execute(QStringLiteral("INSERT INTO T (N) VALUES (1)"));
    // While the first user writes, the second one waits its time-out and is told so.
    EXPECT_EQ(failureNumber([&] { b.execute(QStringLiteral("INSERT INTO T (N) VALUES (2)")); }),
              code::Timeout);
    // With a longer time-out it simply waits for the first to finish.
    b.setCommandTimeout(30);
    // The first user lets go only once the second has begun its write: a write that did not
    // wait is then back before the release however slowly either thread runs.
    std::promise<void> begun;
    std::atomic<bool> released{false};
    std::thread writer([&, started = begun.get_future()] {
        started.wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        released = true;
        a.commitTrans();
    });
    begun.set_value();
    b.execute(QStringLiteral("INSERT INTO T (N) VALUES (2)"));
    // Back before the first user let go, the second one would not have waited at all.
    const bool waited = released;
    writer.join();
    EXPECT_TRUE(waited);
    auto rs = b.execute(QStringLiteral("SELECT COUNT(*) FROM T"));
    EXPECT_EQ(rs->field(0).value().number(), 2);
}

}  // namespace

namespace {

TEST(DataLayerReopen, ACommandPreparesAgainAfterTheConnectionIsReopened) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.db"));
    SqliteEngine::create(path);
    Connection cnn;
    const QString cs =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=sa;Pwd=;").arg(path);
    cnn.open(cs);
    cnn.execute(QStringLiteral("CREATE TABLE T (N INT)"));
    Command cmd;
    cmd.setActiveConnection(cnn);
    cmd.setCommandText(QStringLiteral("INSERT INTO T (N) VALUES (?)"));
    cmd.execute({Variant(1)});
    cnn.close();
    EXPECT_EQ(failureNumber([&] { cmd.execute({Variant(2)}); }), code::ConnectionUnusable);
    cnn.open(cs);
    EXPECT_EQ(cmd.execute({Variant(3)}), 1);
    auto rs = cnn.execute(QStringLiteral("SELECT SUM(N) FROM T"));
    EXPECT_EQ(rs->field(0).value().number(), 4);
}

// Only where a SQL Server is reachable: CRONEQUIPO_TEST_MSSQL holds an ODBC connection string.
TEST(SqlServer, DuplicateKeyGivesTheServerRecordsInOrder) {
    const QString cs = qEnvironmentVariable("CRONEQUIPO_TEST_MSSQL");
    if (cs.isEmpty())
        GTEST_SKIP()
            << "skipped: set CRONEQUIPO_TEST_MSSQL to an ODBC connection string of a SQL Server";
    Connection cnn;
    cnn.open(cs);
    cnn.execute(QStringLiteral("CREATE TABLE #T (Codigo VARCHAR(6) NOT NULL PRIMARY KEY)"));
    cnn.execute(QStringLiteral("INSERT INTO #T (Codigo) VALUES ('     1')"));
    EXPECT_EQ(failureNumber([&] {
                  cnn.execute(QStringLiteral("INSERT INTO #T (Codigo) VALUES ('     1')"));
              }),
              code::Constraint);
    ASSERT_GE(cnn.errors().count(), 2);
    EXPECT_EQ(cnn.errors().item(0).nativeError, 2627);
    EXPECT_EQ(cnn.errors().item(1).nativeError, 3621);
    qint64 n = -1;
    cnn.execute(QStringLiteral("UPDATE #T SET Codigo = 'x' WHERE 1 = 0"), &n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(failureNumber([&] { cnn.execute(QStringLiteral("SELECT * FROM NoExisteTabla")); }),
              code::ObjectNotFound);
    EXPECT_EQ(cnn.errors().item(0).nativeError, 208);
}

}  // namespace

namespace {

TEST(DataLayerBadInput, AnUnreadableConnectionStringEndsInAnErrorAndAClosedConnection) {
    for (const char* text : {"", "esto no es una cadena", "PROVIDER=SQLOLEDB;Server={sin cerrar;",
                             "Provider=NoExiste;Data Source=x;"}) {
        Connection cnn;
        EXPECT_NE(failureNumber([&] { cnn.open(QString::fromUtf8(text)); }), 0) << text;
        EXPECT_EQ(cnn.state(), adstate::Closed) << text;
        EXPECT_EQ(failureNumber([&] { cnn.execute(QStringLiteral("SELECT 1")); }),
                  code::ConnectionUnusable);
    }
}

}  // namespace
