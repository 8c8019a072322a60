// The statistics counted for a table of one index are the ones ANALYZE writes, for every shape
// of table the schedule's can take; any other table is left to ANALYZE.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QByteArray>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ado/sqlite/IndexStatistics.h"
#include "ado/sqlite/SqliteEngine.h"

namespace {

using Db = std::unique_ptr<sqlite3, int (*)(sqlite3*)>;

Db memoria() {
    sqlite3* raw = nullptr;
    sqlite3_open(":memory:", &raw);
    ado::registerSqliteExtensions(raw);
    return Db(raw, sqlite3_close);
}

void exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string why = error ? error : "";
    sqlite3_free(error);
    ASSERT_EQ(rc, SQLITE_OK) << sql << ": " << why;
}

// Every statistics row, one per line, or "-" without the table.
std::string stat1(sqlite3* db) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT tbl, ifnull(idx, ''), stat FROM sqlite_stat1 ORDER BY 1, 2",
                           -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return "-";
    }
    std::string out;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int i = 0; i < 3; ++i)
            out += reinterpret_cast<const char*>(sqlite3_column_text(st, i)) +
                   std::string(i < 2 ? "|" : "\n");
    sqlite3_finalize(st);
    return out;
}

std::string plan(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &st, nullptr);
    std::string out;
    while (sqlite3_step(st) == SQLITE_ROW)
        out += reinterpret_cast<const char*>(sqlite3_column_text(st, 3)) + std::string(";");
    sqlite3_finalize(st);
    return out;
}

const char* const kTabla =
    "CREATE TABLE AUX (Id INTEGER PRIMARY KEY AUTOINCREMENT, USUARIO VARCHAR(50) COLLATE CI, "
    "N INTEGER)";
const char* const kIndice = "CREATE INDEX IX_AUX_USUARIO ON AUX (USUARIO)";

// The users of the rows: a value, how many rows.
struct Filas {
    std::optional<std::string> usuario;
    int cuantas;
};

void llena(sqlite3* db, const std::vector<Filas>& filas) {
    exec(db, "BEGIN");
    for (const Filas& f : filas) {
        for (int i = 0; i < f.cuantas; ++i)
            exec(db, "INSERT INTO AUX (USUARIO, N) VALUES (" +
                         (f.usuario ? "'" + *f.usuario + "'" : std::string("NULL")) + ", " +
                         std::to_string(i) + ")");
    }
    exec(db, "COMMIT");
}

TEST(IndexStatistics, TheCountedStatisticsAreTheOnesAnalyzeWrites) {
    const struct {
        const char* caso;
        std::vector<Filas> filas;
    } casos[] = {
        {"one user", {{"PC01|JUAN", 3000}}},
        {"one user and a few rows of another", {{"PC01|JUAN", 1990}, {"PC02|ANA", 10}}},
        {"users that differ in case and trailing blanks are one",
         {{"PC01|JUAN", 5}, {"pc01|juan", 4}, {"PC01|JUAN  ", 3}, {"PC02|ANA", 1}}},
        {"rows without a user count as one value", {{std::nullopt, 7}, {"PC01|JUAN", 2}}},
        {"only rows without a user", {{std::nullopt, 4}}},
        {"accents and a quote", {{"PC01|MUÑOZ", 6}, {"PC02|O''HIGGINS", 2}, {"PC03|ÁLVAREZ", 1}}},
        {"as many users as are counted", {}},
        {"a table of two rows", {{"A", 1}, {"B", 1}}},
    };
    for (const auto& c : casos) {
        std::vector<Filas> filas = c.filas;
        if (filas.empty())
            for (int u = 0; u < ado::IndexStatistics::kMostValues; ++u)
                filas.push_back({"PC|" + std::to_string(u), 1 + u % 3});
        const Db contada = memoria();
        const Db medida = memoria();
        for (sqlite3* db : {contada.get(), medida.get()}) {
            exec(db, kTabla);
            exec(db, kIndice);
            exec(db, "CREATE TABLE OTRA (X INTEGER)");
            exec(db, "CREATE INDEX IX_OTRA ON OTRA (X)");
            exec(db, "INSERT INTO OTRA VALUES (1), (2)");
            // Statistics of another table stay; the table's own, of earlier rows, are replaced.
            llena(db, {{"PREVIO", 5}});
            exec(db, "ANALYZE");
            exec(db, "DELETE FROM AUX");
            llena(db, filas);
        }
        EXPECT_TRUE(ado::IndexStatistics::write(contada.get(), "aux")) << c.caso;
        exec(medida.get(), "ANALYZE AUX");
        EXPECT_EQ(stat1(contada.get()), stat1(medida.get())) << c.caso;
        const std::string unUsuario = "SELECT DISTINCT N FROM AUX WHERE USUARIO = 'PC01|JUAN'";
        EXPECT_EQ(plan(contada.get(), unUsuario), plan(medida.get(), unUsuario)) << c.caso;
    }
}

TEST(IndexStatistics, TheStatisticsTableIsMadeWhenTheDatabaseHasNone) {
    const Db db = memoria();
    exec(db.get(), kTabla);
    exec(db.get(), kIndice);
    llena(db.get(), {{"PC01|JUAN", 1990}, {"PC02|ANA", 10}});
    const std::string unUsuario = "SELECT DISTINCT N FROM AUX WHERE USUARIO = 'PC01|JUAN'";
    EXPECT_NE(plan(db.get(), unUsuario).find("USING INDEX"), std::string::npos);
    ASSERT_TRUE(ado::IndexStatistics::write(db.get(), "AUX"));
    EXPECT_EQ(stat1(db.get()), "AUX|IX_AUX_USUARIO|2000 1000\n");
    // The connection's planner has read them: the table is read straight through.
    EXPECT_EQ(plan(db.get(), unUsuario).find("USING INDEX"), std::string::npos)
        << plan(db.get(), unUsuario);
}

TEST(IndexStatistics, AnyOtherTableIsLeftUntouched) {
    const struct {
        const char* caso;
        std::vector<const char*> esquema;
        std::vector<Filas> filas;
    } casos[] = {
        {"no table", {}, {}},
        {"no index", {kTabla}, {{"A", 3}}},
        {"two indexes", {kTabla, kIndice, "CREATE INDEX IX_N ON AUX (N)"}, {{"A", 3}}},
        {"an index of two columns", {kTabla, "CREATE INDEX IX_UN ON AUX (USUARIO, N)"}, {{"A", 3}}},
        {"a unique index", {kTabla, "CREATE UNIQUE INDEX IX_U ON AUX (USUARIO)"}, {{"A", 1}}},
        {"a partial index", {kTabla, "CREATE INDEX IX_P ON AUX (USUARIO) WHERE N > 0"}, {{"A", 3}}},
        {"an index on an expression", {kTabla, "CREATE INDEX IX_E ON AUX (N + 1)"}, {{"A", 3}}},
        {"an empty table", {kTabla, kIndice}, {}},
        {"more users than are counted", {kTabla, kIndice}, {}},
    };
    for (const auto& c : casos) {
        const Db db = memoria();
        for (const char* sql : c.esquema) exec(db.get(), sql);
        std::vector<Filas> filas = c.filas;
        if (std::string(c.caso) == "more users than are counted")
            for (int u = 0; u <= ado::IndexStatistics::kMostValues; ++u)
                filas.push_back({"PC|" + std::to_string(u), 1});
        if (!filas.empty()) llena(db.get(), filas);
        const std::string antes = stat1(db.get());
        EXPECT_FALSE(ado::IndexStatistics::write(db.get(), "AUX")) << c.caso;
        EXPECT_EQ(stat1(db.get()), antes) << c.caso;
        EXPECT_TRUE(sqlite3_get_autocommit(db.get())) << c.caso << ": no transaction left open";
    }
}

TEST(IndexStatistics, InsideATransactionTheStatisticsGoWithIt) {
    const Db db = memoria();
    exec(db.get(), kTabla);
    exec(db.get(), kIndice);
    llena(db.get(), {{"A", 4}});
    exec(db.get(), "BEGIN");
    ASSERT_TRUE(ado::IndexStatistics::write(db.get(), "AUX"));
    EXPECT_FALSE(sqlite3_get_autocommit(db.get())) << "the caller's transaction is still open";
    exec(db.get(), "ROLLBACK");
    EXPECT_EQ(stat1(db.get()), "-");
}

}  // namespace
