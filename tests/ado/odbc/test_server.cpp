// The data layer on a real database server through its own ODBC driver: the path of every
// customer's server (whole batches, transactions as statements, the server's diagnostics),
// never the embedded engine's translation.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QTemporaryDir>
#include <thread>

#include "ado/Command.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/core/Error.h"
#include "platform/Failure.h"
#include "platform/IniReader.h"
#include "platform/Process.h"
#include "tests/support/FailureNumber.h"
#include "tests/support/ImprimeQString.h"
#include "tests/support/PostgresServer.h"

using namespace ado;
using platform::Variant;

namespace {

class Servidor : public testing::Test {
  protected:
    void SetUp() override {
        const PostgresServer& server = PostgresServer::instance();
        ASSERT_TRUE(server.failure().isEmpty()) << server.failure().toStdString();
        cnn.open(server.connectionString());
        cnn.execute(QStringLiteral("DROP TABLE IF EXISTS Clientes"));
        cnn.execute(QStringLiteral(
            "CREATE TABLE Clientes (Codigo VARCHAR(6) NOT NULL PRIMARY KEY, Nombre VARCHAR(4000) "
            "NULL, Alta TIMESTAMP NULL, Saldo FLOAT NULL)"));
    }
    void TearDown() override {
        if (cnn.state() == adstate::Open) cnn.close();
    }
    double number(const char* sql) {
        return cnn.execute(QString::fromUtf8(sql))->field(0).value().toNumber();
    }

    Connection cnn;
};

// The statements carry dates as the user types them; the server's own order (month first) read
// "01/02/2026" as the 2nd of January and refused "13/02/2026".
TEST_F(Servidor, ShortDatesAreReadInTheRegionalOrderOnBothSidesOfThe12th) {
    const struct {
        const char* literal;
        QDate date;
    } cases[] = {{"01/02/2026", QDate(2026, 2, 1)},
                 {"13/02/2026", QDate(2026, 2, 13)},
                 {"31/12/1900", QDate(1900, 12, 31)},
                 {"12/01/2100 10:30", QDate(2100, 1, 12)}};
    for (const auto& c : cases) {
        const QString sql =
            QStringLiteral("SELECT CAST('%1' AS TIMESTAMP)").arg(QString::fromUtf8(c.literal));
        QDate got;
        try {
            got = cnn.execute(sql)->field(0).value().date().date();
        } catch (const platform::Failure& f) {
            ADD_FAILURE() << c.literal << ": " << f.info().description.toStdString();
        }
        EXPECT_EQ(got.toString(Qt::ISODate).toStdString(),
                  c.date.toString(Qt::ISODate).toStdString())
            << c.literal;
    }
    cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo, Alta) VALUES ('F1', '05/03/2026')"));
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes WHERE Alta BETWEEN '04/03/2026' AND "
                     "'13/03/2026'"),
              1);
}

// The suite writes a server as "host,port"; this driver takes the port apart, and was given the
// whole text as its host.
TEST_F(Servidor, TheServerAndPortAsTheSuiteWritesThemReachTheDriver) {
    const PostgresServer& server = PostgresServer::instance();
    QTemporaryDir dir;
    platform::process::setProgramFolder(dir.path());
    platform::writeIniKey(dir.filePath(QStringLiteral("KV300mn.INI")), QStringLiteral("ODBC"),
                          QStringLiteral("DriverSQLServer"), PostgresServer::driver());
    const QString suite =
        QStringLiteral("PROVIDER=SQLOLEDB;Server=%1,%2;Database =cronequipo;UId=postgres;Pwd=;");
    Connection c;
    QString error;
    try {
        c.open(suite.arg(server.socketFolder()).arg(server.port()));
        EXPECT_EQ(c.execute(QStringLiteral("SELECT 7"))->field(0).value().toNumber(), 7);
        c.close();
    } catch (const platform::Failure& f) {
        error = f.info().description;
    }
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    // Another port is another server: none listens there.
    EXPECT_NE(
        failureNumber([&] { c.open(suite.arg(server.socketFolder()).arg(server.port() + 1)); }), 0);
    platform::process::setProgramFolder({});
}

TEST_F(Servidor, ABatchGivesItsFirstRowsAndTheCountsOfEveryStatement) {
    qint64 affected = -1;
    auto rs = cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('1'); "
                                         "SELECT Codigo FROM Clientes; "
                                         "INSERT INTO Clientes (Codigo) VALUES ('2'), ('3'); "
                                         "SELECT 2 AS b; "
                                         "UPDATE Clientes SET Saldo = 1"),
                          &affected);
    ASSERT_TRUE(rs && rs->state() == adstate::Open);
    EXPECT_EQ(rs->field(0).value().text(), "1") << "the rows of the first result";
    // 1 + 2 + 3: the results after the second query were walked, not dropped.
    EXPECT_EQ(affected, 6);
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes WHERE Saldo = 1"), 3);
}

TEST_F(Servidor, TransactionsAreStatementsOfTheBatch) {
    struct Case {
        const char* end;
        double rows;
    } cases[] = {{"ROLLBACK", 0}, {"COMMIT", 2}};
    for (const auto& c : cases) {
        cnn.execute(QStringLiteral("DELETE FROM Clientes"));
        cnn.execute(QStringLiteral("BEGIN TRANSACTION"));
        cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('1')"));
        cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('2')"));
        cnn.execute(QString::fromLatin1(c.end));
        EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes"), c.rows) << c.end;
    }
    // The connection's own transactions too.
    cnn.beginTrans();
    cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('9')"));
    cnn.rollbackTrans();
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes WHERE Codigo = '9'"), 0);
}

TEST_F(Servidor, FailuresAreNumberedByTheirStateAndNoneLooksLikeALostConnection) {
    cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('1')"));
    struct Case {
        const char* sql;
        qint32 number;
        const char* state;
    } cases[] = {
        {"SELECT * FROM NoExisteTabla", code::ObjectNotFound, "42P01"},
        {"INSERT INTO Clientes (Codigo) VALUES ('1')", code::Constraint, "23505"},
        {"INSERT INTO Clientes (Codigo) VALUES (NULL)", code::Constraint, "23502"},
        {"INSERT INTO Clientes (Codigo) VALUES ('1234567')", code::Truncated, "22001"},
        {"SELEC 1", code::CommandText, "42601"},
        {"SELECT NoExisteColumna FROM Clientes", code::CommandText, "42703"},
        {"SELECT 1 / 0", code::ConversionFailed, "22012"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(failureNumber([&] { cnn.execute(QString::fromUtf8(c.sql)); }), c.number);
        ASSERT_GE(cnn.errors().count(), 1);
        EXPECT_EQ(cnn.errors().item(0).sqlState, QString::fromLatin1(c.state));
        EXPECT_FALSE(cnn.errors().item(0).description.isEmpty());
        EXPECT_NE(cnn.errors().item(0).number, code::EFail);
    }
    // The connection is still good after every one of them.
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes"), 1);
}

TEST_F(Servidor, ValuesComeBackAsTheyWentIn) {
    const QString accents = QStringLiteral("Panadería Núñez — ñandú, cigüeña");
    const QString longText(3999, QChar(0x00E9));
    const QDateTime alta(QDate(1950, 2, 28), QTime(8, 30, 15));
    Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(
        QStringLiteral("INSERT INTO Clientes (Codigo, Nombre, Alta, Saldo) VALUES (?, ?, ?, ?)"));
    insert.execute({QStringLiteral("1"), accents, alta, 10.5});
    insert.execute({QStringLiteral("2"), longText, Variant::null(), Variant::null()});
    insert.execute(
        {QStringLiteral("3"), QString(), QDateTime(QDate(2099, 12, 31), QTime(0, 0)), 0});
    cnn.execute(
        QStringLiteral("INSERT INTO Clientes (Codigo, Nombre) VALUES ('4', 'O''Higgins á')"));

    auto rs = cnn.execute(
        QStringLiteral("SELECT Codigo, Nombre, Alta, Saldo FROM Clientes ORDER BY Codigo"));
    struct Row {
        Variant nombre, alta, saldo;
    } expected[] = {
        {accents, alta, 10.5},
        {longText, Variant::null(), Variant::null()},
        {QString(), QDateTime(QDate(2099, 12, 31), QTime(0, 0)), 0.0},
        {QStringLiteral("O'Higgins á"), Variant::null(), Variant::null()},
    };
    for (const auto& e : expected) {
        ASSERT_FALSE(rs->eof());
        const Variant nombre = rs->field(1).value();
        EXPECT_EQ(nombre.isNull(), e.nombre.isNull());
        if (!e.nombre.isNull()) {
            EXPECT_EQ(nombre.text(), e.nombre.text());
        }
        const Variant a = rs->field(2).value();
        EXPECT_EQ(a.isNull(), e.alta.isNull());
        if (!e.alta.isNull()) {
            EXPECT_EQ(a.date(), e.alta.date());
        }
        const Variant s = rs->field(3).value();
        EXPECT_EQ(s.isNull(), e.saldo.isNull());
        if (!e.saldo.isNull()) {
            EXPECT_EQ(s.number(), e.saldo.number());
        }
        rs->moveNext();
    }
    EXPECT_TRUE(rs->eof());
}

// A prepared statement keeps its parameters bound from one run to the next: every run must still
// send its own values, whether a parameter keeps its kind and length, changes them, or outgrows
// the text it had, and after a run the server refused.
TEST_F(Servidor, APreparedStatementRunAgainSendsTheValuesOfEachRun) {
    const QString larger(3000, QChar(0x00F1));
    const QDateTime alta(QDate(2026, 2, 13), QTime(9, 5, 0));
    struct Run {
        Variant codigo, nombre, alta, saldo;
    } runs[] = {
        {QStringLiteral("1"), QStringLiteral("corto"), alta, 1.5},
        {QStringLiteral("2"), QStringLiteral("otro!"), alta.addDays(1), 2.5},  // same lengths
        {QStringLiteral("3"), larger, Variant::null(), Variant::null()},
        {QStringLiteral("4"), Variant::null(), alta.addYears(-80), 0},
        {QStringLiteral("5"), QString(), alta, -7.25},
        {QStringLiteral("6"), QStringLiteral("Cigüeña"), Variant::null(), 1e9},
    };
    Command insert;
    insert.setActiveConnection(cnn);
    insert.setCommandText(
        QStringLiteral("INSERT INTO Clientes (Codigo, Nombre, Alta, Saldo) VALUES (?, ?, ?, ?)"));
    for (std::size_t i = 0; i < std::size(runs); ++i) {
        const Run& r = runs[i];
        insert.execute({r.codigo, r.nombre, r.alta, r.saldo});
        if (i == 2) {
            // A code already there: the server refuses this run, not the next ones.
            EXPECT_EQ(failureNumber([&] {
                          insert.execute({QStringLiteral("1"), QStringLiteral("repetido"),
                                          Variant::null(), 3.0});
                      }),
                      code::Constraint);
        }
    }

    auto rs = cnn.execute(
        QStringLiteral("SELECT Codigo, Nombre, Alta, Saldo FROM Clientes ORDER BY Codigo"));
    for (const Run& r : runs) {
        ASSERT_FALSE(rs->eof());
        const std::string run = r.codigo.text().toStdString();
        EXPECT_EQ(rs->field(0).value().text(), r.codigo.text()) << run;
        const Variant nombre = rs->field(1).value();
        EXPECT_EQ(nombre.isNull(), r.nombre.isNull()) << run;
        if (!r.nombre.isNull()) {
            EXPECT_EQ(nombre.text(), r.nombre.text()) << run;
        }
        const Variant a = rs->field(2).value();
        EXPECT_EQ(a.isNull(), r.alta.isNull()) << run;
        if (!r.alta.isNull()) {
            EXPECT_EQ(a.date(), r.alta.date()) << run;
        }
        const Variant s = rs->field(3).value();
        EXPECT_EQ(s.isNull(), r.saldo.isNull()) << run;
        if (!r.saldo.isNull()) {
            EXPECT_EQ(s.number(), r.saldo.number()) << run;
        }
        rs->moveNext();
    }
    EXPECT_TRUE(rs->eof());
}

TEST_F(Servidor, AConnectionTheServerDropsIsALostConnectionAndCanBeOpenedAgain) {
    Connection other;
    other.open(PostgresServer::instance().connectionString());
    other.execute(
        QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> "
                       "pg_backend_pid() AND datname = current_database()"));
    other.close();
    EXPECT_EQ(failureNumber([&] { cnn.execute(QStringLiteral("SELECT 1")); }), code::EFail)
        << "the failure that makes the data-access class connect again";
    ASSERT_GE(cnn.errors().count(), 1);
    const QString state = cnn.errors().item(0).sqlState;
    EXPECT_TRUE(state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P0")))
        << cnn.errors().item(0).sqlState.toStdString() << " "
        << cnn.errors().item(0).description.toStdString();
    EXPECT_EQ(failureNumber([&] { cnn.execute(QStringLiteral("SELECT 1")); }), code::EFail)
        << "and so is every use after it";
    cnn.close();
    cnn.open(PostgresServer::instance().connectionString());
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes"), 0);
}

TEST_F(Servidor, AReadOnlyOpenRefusesWhatWouldChangeTheDatabase) {
    cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo, Saldo) VALUES ('1', 5), ('2', 7)"));
    cnn.execute(QStringLiteral("DROP SEQUENCE IF EXISTS Serie"));
    cnn.execute(QStringLiteral("CREATE SEQUENCE Serie"));
    const char* cases[] = {
        "DELETE FROM Clientes",
        "UPDATE Clientes SET Saldo = 0 RETURNING Codigo",
        "SELECT * INTO Copia FROM Clientes",
        "CREATE TABLE Otra (a INT)",
        "DROP TABLE Clientes",
        "SELECT nextval('Serie') AS n",
        "SELECT 1 AS a; DROP TABLE Clientes",
        "COMMIT; DELETE FROM Clientes",
        "SELECT Codigo FROM Clientes DELETE FROM Clientes",
    };
    auto estado = [&] {
        return cnn
            .execute(QStringLiteral("SELECT COUNT(*) || '|' || SUM(Saldo) || '|' || "
                                    "(SELECT COUNT(*) FROM pg_class WHERE relname IN ('copia', "
                                    "'otra')) || '|' || (SELECT last_value FROM Serie) || "
                                    "(SELECT is_called::text FROM Serie) FROM Clientes"))
            ->field(0)
            .value()
            .text();
    };
    const QString antes = estado();
    ASSERT_EQ(antes, QStringLiteral("2|12|0|1false"));
    for (const char* sql : cases) {
        SCOPED_TRACE(sql);
        Recordset rs;
        EXPECT_EQ(failureNumber([&] { rs.openForReading(QString::fromUtf8(sql), cnn); }),
                  code::NotReadOnly);
        ASSERT_GE(cnn.errors().count(), 1);
        EXPECT_FALSE(cnn.errors().item(0).description.isEmpty());
        EXPECT_EQ(estado(), antes);
    }
    // What only reads runs in a read-only transaction; afterwards the connection writes and
    // commits as before.
    Recordset rs;
    rs.openForReading(
        QStringLiteral("SELECT current_setting('transaction_read_only') AS solo, COUNT(*) AS n "
                       "FROM Clientes"),
        cnn);
    EXPECT_EQ(rs.field(0).value().text(), QStringLiteral("on"));
    EXPECT_EQ(rs.field(1).value().toNumber(), 2);
    rs.close();
    cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('3')"));
    Connection otra;
    otra.open(PostgresServer::instance().connectionString());
    EXPECT_EQ(
        otra.execute(QStringLiteral("SELECT COUNT(*) FROM Clientes"))->field(0).value().toNumber(),
        3);
}

TEST_F(Servidor, AFieldCutsATextToTheLengthTheServerGivesItsColumn) {
    Recordset rs;
    rs.open(QStringLiteral("SELECT Codigo, Saldo FROM Clientes"), cnn);
    EXPECT_EQ(rs.field(0).definedSize(), 6);
    const QString codigo = rs.field(0).fitted(QStringLiteral("ñandú-01"));
    EXPECT_EQ(codigo, QStringLiteral("ñandú-"));
    EXPECT_EQ(rs.field(0).fitted(QStringLiteral("12")), QStringLiteral("12"));
    EXPECT_EQ(rs.field(1).fitted(QStringLiteral("12345678901234567890")),
              QStringLiteral("12345678901234567890"))
        << "a column that is no text takes the text whole";
    rs.close();
    cnn.execute(QStringLiteral("INSERT INTO Clientes (Codigo) VALUES ('") + codigo +
                QStringLiteral("')"));
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes"), 1);
}

TEST_F(Servidor, FourClientsWritingAtOnceLoseNothing) {
    constexpr int kClients = 4, kRows = 200;
    std::vector<std::thread> clients;
    std::atomic<int> failures{0};
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            try {
                Connection mine;
                mine.open(PostgresServer::instance().connectionString());
                Command insert;
                insert.setActiveConnection(mine);
                insert.setCommandText(
                    QStringLiteral("INSERT INTO Clientes (Codigo, Nombre) VALUES (?, ?)"));
                for (int i = 0; i < kRows; ++i) {
                    if (i % 50 == 0) mine.beginTrans();
                    insert.execute({QStringLiteral("%1-%2").arg(c).arg(i),
                                    QStringLiteral("cliente %1").arg(c)});
                    if (i % 50 == 49) mine.commitTrans();
                }
                mine.close();
            } catch (...) {
                ++failures;
            }
        });
    }
    for (auto& t : clients) t.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(number("SELECT COUNT(*) FROM Clientes"), kClients * kRows);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT Nombre) FROM Clientes"), kClients);
}

}  // namespace
