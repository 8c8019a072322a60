#pragma once

#include <QByteArray>

struct sqlite3;

namespace ado {

// What ANALYZE writes into sqlite_stat1 for a table whose only index is an ordinary one on one
// column ("rows rows-per-value"), worked out without reading every entry: the row count from
// the b-tree's pages and the distinct values by one seek each. ANALYZE reads the whole index,
// as long as a tenth of writing a year's schedule; this is a few milliseconds.
class IndexStatistics {
  public:
    // Writes the statistics and has the connection's planner read them again; false, with
    // nothing changed, when the table is of another shape, is empty, has more distinct values
    // than a few seeks find, or the database keeps sampled statistics too: the caller then
    // measures it with ANALYZE.
    static bool write(sqlite3* db, const QByteArray& table);

    static constexpr int kMostValues = 64;
};

}  // namespace ado
