#pragma once

#include <sqlite3.h>

#include <memory>

namespace ado {

struct SqliteFinalizer {
    void operator()(sqlite3_stmt* s) const noexcept { sqlite3_finalize(s); }
};

// A prepared statement owned: finalized however its scope is left.
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

}  // namespace ado
