#include "ado/sqlite/IndexStatistics.h"

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <vector>

#include "ado/sqlite/SqliteStatement.h"

namespace ado {

namespace {

struct ValueDeleter {
    void operator()(sqlite3_value* v) const noexcept { sqlite3_value_free(v); }
};
using Value = std::unique_ptr<sqlite3_value, ValueDeleter>;

QByteArray quoted(const QByteArray& name) {
    QByteArray q = name;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

SqliteStatement prepared(sqlite3* db, const QByteArray& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(st);
        return nullptr;
    }
    return SqliteStatement(st);
}

void bind(sqlite3_stmt* st, int index, const QByteArray& text) {
    sqlite3_bind_text(st, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// The rows a statement gives, as texts of their first column; none when it fails.
std::optional<std::vector<QByteArray>> texts(sqlite3* db, const QByteArray& sql,
                                             const QByteArray& parameter = {}) {
    const SqliteStatement st = prepared(db, sql);
    if (!st) return std::nullopt;
    if (!parameter.isNull()) bind(st.get(), 1, parameter);
    std::vector<QByteArray> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
        rows.emplace_back(t ? QByteArray(t, sqlite3_column_bytes(st.get(), 0)) : QByteArray());
    }
    if (rc != SQLITE_DONE) return std::nullopt;
    return rows;
}

bool run(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

struct Shape {
    QByteArray table;  // as the schema spells it, as ANALYZE writes it
    QByteArray index;
    QByteArray column;  // quoted, with the index's collation
};

// The table's only index, when it is an ordinary one on one column.
std::optional<Shape> shapeOf(sqlite3* db, const QByteArray& table) {
    const auto sampled = texts(db, "SELECT name FROM sqlite_schema WHERE name = 'sqlite_stat4'");
    const auto names = texts(
        db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
        table);
    if (!sampled || !sampled->empty() || !names || names->size() != 1) return std::nullopt;
    Shape s;
    s.table = names->front();
    const auto indexes = texts(db,
                               "SELECT name || '|' || \"unique\" || origin || partial "
                               "FROM pragma_index_list(?1)",
                               s.table);
    if (!indexes || indexes->size() != 1 || !indexes->front().endsWith("|0c0")) return std::nullopt;
    s.index = indexes->front().left(indexes->front().size() - 4);
    const auto keys = texts(db,
                            "SELECT coalesce(name, '') || '|' || coalesce(coll, '') FROM "
                            "pragma_index_xinfo(?1) WHERE key",
                            s.index);
    if (!keys || keys->size() != 1) return std::nullopt;
    const qsizetype bar = keys->front().lastIndexOf('|');
    const QByteArray column = keys->front().left(bar);
    const QByteArray collation = keys->front().mid(bar + 1);
    if (column.isEmpty() || collation.isEmpty()) return std::nullopt;
    s.column = quoted(column) + " COLLATE " + quoted(collation);
    return s;
}

// How many values the index holds, all NULLs counting as one, as ANALYZE counts them; none
// past kMostValues.
std::optional<qint64> distinctValues(sqlite3* db, const Shape& s) {
    const QByteArray from = " FROM " + quoted(s.table) + " INDEXED BY " + quoted(s.index);
    const auto nulls = texts(db, "SELECT 1" + from + " WHERE " + s.column + " IS NULL LIMIT 1");
    if (!nulls) return std::nullopt;
    qint64 n = nulls->empty() ? 0 : 1;
    const SqliteStatement first =
        prepared(db, "SELECT " + s.column + from + " WHERE " + s.column + " IS NOT NULL ORDER BY " +
                         s.column + " LIMIT 1");
    const SqliteStatement next = prepared(db, "SELECT " + s.column + from + " WHERE " + s.column +
                                                  " > ?1 ORDER BY " + s.column + " LIMIT 1");
    if (!first || !next) return std::nullopt;
    sqlite3_stmt* st = first.get();
    Value last;
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) return n;
        if (rc != SQLITE_ROW || ++n > IndexStatistics::kMostValues) return std::nullopt;
        last.reset(sqlite3_value_dup(sqlite3_column_value(st, 0)));
        if (!last) return std::nullopt;
        sqlite3_reset(next.get());
        sqlite3_bind_value(next.get(), 1, last.get());
        st = next.get();
    }
}

std::optional<QByteArray> measured(sqlite3* db, const Shape& s) {
    const auto rows = texts(db, "SELECT count(*) FROM " + quoted(s.table));
    if (!rows || rows->size() != 1) return std::nullopt;
    const qint64 n = rows->front().toLongLong();
    if (n <= 0) return std::nullopt;
    const auto values = distinctValues(db, s);
    if (!values || *values <= 0) return std::nullopt;
    return QByteArray::number(n) + ' ' + QByteArray::number((n + *values - 1) / *values);
}

bool store(sqlite3* db, const Shape& s, const QByteArray& stat) {
    const auto exists = texts(db, "SELECT name FROM sqlite_schema WHERE name = 'sqlite_stat1'");
    // Naming the schema's own table makes the statistics table, and measures nothing else.
    if (!exists || (exists->empty() && !run(db, "ANALYZE sqlite_schema"))) return false;
    const SqliteStatement del = prepared(db, "DELETE FROM sqlite_stat1 WHERE tbl = ?1");
    const SqliteStatement ins = prepared(db, "INSERT INTO sqlite_stat1 VALUES (?1, ?2, ?3)");
    if (!del || !ins) return false;
    bind(del.get(), 1, s.table);
    bind(ins.get(), 1, s.table);
    bind(ins.get(), 2, s.index);
    bind(ins.get(), 3, stat);
    return sqlite3_step(del.get()) == SQLITE_DONE && sqlite3_step(ins.get()) == SQLITE_DONE;
}

}  // namespace

bool IndexStatistics::write(sqlite3* db, const QByteArray& table) {
    const bool own = sqlite3_get_autocommit(db) != 0;
    // The count and the rows written are one snapshot: measured in the write lock.
    if (!run(db, own ? "BEGIN IMMEDIATE" : "SAVEPOINT index_statistics")) return false;
    bool done = false;
    if (const auto shape = shapeOf(db, table)) {
        if (const auto stat = measured(db, *shape)) done = store(db, *shape, *stat);
    }
    if (own) {
        done = run(db, done ? "COMMIT" : "ROLLBACK") && done;
        if (!done && !sqlite3_get_autocommit(db)) run(db, "ROLLBACK");
    } else {
        if (!done) run(db, "ROLLBACK TO index_statistics");
        run(db, "RELEASE index_statistics");
    }
    // The planner reads the statistics again, as after ANALYZE.
    return done && run(db, "ANALYZE sqlite_schema");
}

}  // namespace ado
