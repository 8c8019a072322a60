// Rows of the schedule's shape written to a real server through its ODBC driver in each form:
// one row per statement, parameter arrays, multi-row statements and both together, and the same
// rows made inside the server (what no client can beat). Prints rows per second and rows per
// round trip (counted here: each time the client turns from sending to waiting).
#include <dlfcn.h>
#include <sys/socket.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BareOdbc.h"
#include "tests/support/PostgresServer.h"

namespace {

// A round trip is the client turning from sending to waiting for the answer.
std::atomic<long> sends{0};
std::atomic<bool> sending{false};

}  // namespace

extern "C" ssize_t send(int fd, const void* buf, size_t len, int flags) {
    using Real = ssize_t (*)(int, const void*, size_t, int);
    static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "send"));
    sending = true;
    return real(fd, buf, len, flags);
}

extern "C" ssize_t recv(int fd, void* buf, size_t len, int flags) {
    using Real = ssize_t (*)(int, void*, size_t, int);
    static Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "recv"));
    if (sending.exchange(false)) ++sends;
    return real(fd, buf, len, flags);
}

namespace {

using bench::check;
using Odbc = bench::OdbcConnection;

constexpr int kColumns = 8;

// The values of row i, as the schedule writes them (texts, two dates, two numbers, a text).
struct Row {
    char text[4][64];
    SQL_TIMESTAMP_STRUCT from, to;
    double count, daily;
    SQLLEN ind[kColumns];
};

void fillRow(Row& r, long i) {
    std::snprintf(r.text[0], 64, "BENCH|USUARIO");
    std::snprintf(r.text[1], 64, "Equipo %ld", i % 2000);
    std::snprintf(r.text[2], 64, "EQ-%05ld Equipo %ld", i % 2000, i % 2000);
    std::snprintf(r.text[3], 64, "%s", i % 7 ? "" : "Revisión general");
    const int day = static_cast<int>(i % 28) + 1;
    r.from = {2026, 1, static_cast<SQLUSMALLINT>(day), 0, 0, 0, 0};
    r.to = r.from;
    r.count = static_cast<double>(i % 3);
    r.daily = 0;
    for (int c = 0; c < kColumns; ++c) r.ind[c] = SQL_NTS;
    r.ind[3] = r.ind[4] = r.ind[5] = r.ind[6] = 0;
}

const char* kInsert =
    "INSERT INTO aux_bench (usuario, nombre, grupo, detalle, fechad, fechah, importeg1, importeg2) "
    "VALUES ";

void bindRow(SQLHSTMT st, int first, Row& r) {
    for (int c = 0; c < 4; ++c)
        SQLBindParameter(st, static_cast<SQLUSMALLINT>(first + c), SQL_PARAM_INPUT, SQL_C_CHAR,
                         SQL_VARCHAR, 255, 0, r.text[c], 64, &r.ind[c]);
    SQLBindParameter(st, static_cast<SQLUSMALLINT>(first + 4), SQL_PARAM_INPUT,
                     SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3, &r.from, 0, &r.ind[4]);
    SQLBindParameter(st, static_cast<SQLUSMALLINT>(first + 5), SQL_PARAM_INPUT,
                     SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3, &r.to, 0, &r.ind[5]);
    SQLBindParameter(st, static_cast<SQLUSMALLINT>(first + 6), SQL_PARAM_INPUT, SQL_C_DOUBLE,
                     SQL_DOUBLE, 15, 0, &r.count, 0, &r.ind[6]);
    SQLBindParameter(st, static_cast<SQLUSMALLINT>(first + 7), SQL_PARAM_INPUT, SQL_C_DOUBLE,
                     SQL_DOUBLE, 15, 0, &r.daily, 0, &r.ind[7]);
}

std::string placeholders(int rows) {
    std::string sql = kInsert;
    for (int i = 0; i < rows; ++i) sql += i ? ",(?,?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?,?)";
    return sql;
}

struct Result {
    double seconds;
    long roundTrips;
};

// `perStatement` rows to a statement (one: a row per statement), executed with `sets` parameter
// sets at once (one: no array). Bound by row: set s of the statement's row r is
// batch[s * perStatement + r].
Result write(Odbc& db, long rows, int perStatement, int sets) {
    db.exec("DELETE FROM aux_bench");
    db.begin();
    const bench::OdbcStatement statement(db);
    const SQLHSTMT st = statement.get();
    const std::string sql = placeholders(perStatement);
    check(SQLPrepare(st, (SQLCHAR*)sql.c_str(), SQL_NTS), SQL_HANDLE_STMT, st, "prepare");
    const int perExecute = perStatement * sets;
    std::vector<Row> batch(static_cast<std::size_t>(perExecute));
    SQLULEN processed = 1;
    if (sets > 1) {
        SQLSetStmtAttr(st, SQL_ATTR_PARAM_BIND_TYPE,
                       reinterpret_cast<SQLPOINTER>(perStatement * sizeof(Row)), 0);
        SQLSetStmtAttr(st, SQL_ATTR_PARAMSET_SIZE,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(sets)), 0);
        SQLSetStmtAttr(st, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0);
    }
    for (int r = 0; r < perStatement; ++r) bindRow(st, r * kColumns + 1, batch[r]);
    const long before = sends;
    QElapsedTimer t;
    t.start();
    for (long done = 0; done < rows; done += perExecute) {
        for (int r = 0; r < perExecute; ++r) fillRow(batch[r], done + r);
        check(SQLExecute(st), SQL_HANDLE_STMT, st, "execute");
        if (processed != static_cast<SQLULEN>(sets)) {
            std::fprintf(stderr, "only %lu of %d parameter sets processed\n",
                         static_cast<unsigned long>(processed), sets);
            std::exit(1);
        }
    }
    db.commit();
    const double seconds = t.elapsed() / 1000.0;
    const long trips = sends - before;
    return {seconds, trips};
}

// The same rows made by the server itself in one statement: no client, no round trips. What the
// server spends on inserting them bounds every form above.
Result writeInServer(Odbc& db, long rows) {
    db.exec("DELETE FROM aux_bench");
    const std::string sql =
        std::string(kInsert, std::strlen(kInsert) - 7) +
        "SELECT 'BENCH|USUARIO', 'Equipo ' || (i % 2000), 'EQ-' || lpad((i % 2000)::text, 5, '0') "
        "|| ' Equipo ' || (i % 2000), CASE WHEN i % 7 = 0 THEN 'Revisión general' ELSE '' END, "
        "timestamp '2026-01-01' + (i % 28) * interval '1 day', timestamp '2026-01-01' + (i % 28) "
        "* interval '1 day', i % 3, 0 FROM generate_series(0, " +
        std::to_string(rows - 1) + ") AS i";
    db.begin();
    QElapsedTimer t;
    t.start();
    db.exec(sql.c_str());
    db.commit();
    return {t.elapsed() / 1000.0, 1};
}

// Rows as literals of one statement text, `perStatement` rows to a statement.
Result writeLiterals(Odbc& db, long rows, int perStatement) {
    db.exec("DELETE FROM aux_bench");
    db.begin();
    const bench::OdbcStatement statement(db);
    const SQLHSTMT st = statement.get();
    // The text has no escape sequences for the driver to look for.
    SQLSetStmtAttr(st, SQL_ATTR_NOSCAN, reinterpret_cast<SQLPOINTER>(SQL_NOSCAN_ON), 0);
    const long before = sends;
    QElapsedTimer t;
    t.start();
    Row row;
    std::string sql;
    char buf[512];
    for (long done = 0; done < rows; done += perStatement) {
        sql = kInsert;
        for (int r = 0; r < perStatement; ++r) {
            fillRow(row, done + r);
            std::snprintf(buf, sizeof buf,
                          "%s('%s','%s','%s','%s','%04d-%02d-%02d','%04d-%02d-%02d',%g,%g)",
                          r ? "," : "", row.text[0], row.text[1], row.text[2], row.text[3],
                          row.from.year, row.from.month, row.from.day, row.to.year, row.to.month,
                          row.to.day, row.count, row.daily);
            sql += buf;
        }
        check(SQLExecDirect(st, (SQLCHAR*)sql.c_str(), static_cast<SQLINTEGER>(sql.size())),
              SQL_HANDLE_STMT, st, "literals");
    }
    db.commit();
    const double seconds = t.elapsed() / 1000.0;
    const long trips = sends - before;
    return {seconds, trips};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const long rows = argc > 1 ? std::atol(argv[1]) : 100000;
    PostgresServer& server = PostgresServer::instance();
    if (!server.failure().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.failure()));
        return 1;
    }
    // The driver's fastest settings unless others are given: statements prepared on the server,
    // no savepoint around each statement.
    const QByteArray options = qEnvironmentVariableIsSet("BENCH_ODBC_OPTIONS")
                                   ? qgetenv("BENCH_ODBC_OPTIONS")
                                   : QByteArray("UseServerSidePrepare=1;Protocol=7.4-0;");
    Odbc db(server.connectionString().toStdString() + options.toStdString());
    db.exec("DROP TABLE IF EXISTS aux_bench");
    db.exec(
        "CREATE TABLE aux_bench (id SERIAL PRIMARY KEY, usuario VARCHAR(50), nombre "
        "VARCHAR(255), grupo VARCHAR(255), detalle VARCHAR(255), fechad TIMESTAMP, fechah "
        "TIMESTAMP, importeg1 DECIMAL(18,4), importeg2 DECIMAL(18,4))");
    std::printf("%ld rows of the schedule's shape to PostgreSQL through its ODBC driver\n", rows);
    std::printf("%-34s %12s %14s %10s\n", "form", "rows/s", "rows/round trip", "vs one row");
    const long oneRowRows = std::min(rows, 20000L);
    const Result one = write(db, oneRowRows, 1, 1);
    const double oneRate = oneRowRows / one.seconds;
    auto print = [&](const std::string& name, const Result& r) {
        const double rate = rows / r.seconds;
        std::printf("%-34s %12.0f %14.1f %10.1f\n", name.c_str(), rate,
                    double(rows) / std::max(r.roundTrips, 1L), rate / oneRate);
    };
    std::printf("%-34s %12.0f %14.1f %10.1f\n", "one row per statement", oneRate,
                double(oneRowRows) / std::max(one.roundTrips, 1L), 1.0);
    print("multi-row literals, 1000 rows", writeLiterals(db, rows, 1000));
    {
        const Result r = writeInServer(db, rows);
        const double rate = rows / r.seconds;
        std::printf("%-34s %12.0f %14s %10.1f\n", "inside the server (bound)", rate, "-",
                    rate / oneRate);
    }
    struct Form {
        const char* name;
        int perStatement;
        int sets;
    } forms[] = {
        {"250-row statement x 4 sets", 250, 4},      {"250-row statement x 8 sets", 250, 8},
        {"250-row statement x 20 sets", 250, 20},    {"multi-row statement, 250 rows", 250, 1},
        {"multi-row statement, 1000 rows", 1000, 1}, {"parameter array, 1000 sets", 1, 1000},
        {"parameter array, 5000 sets", 1, 5000},
    };
    for (const Form& f : forms) {
        try {
            Odbc own(server.connectionString().toStdString() + options.toStdString());
            print(f.name, write(own, rows, f.perStatement, f.sets));
        } catch (const std::exception& e) {
            QString why = QString::fromStdString(e.what()).simplified();
            std::printf("%-34s fails: %s\n", f.name, qPrintable(why.left(90)));
        }
    }
    return 0;
}
