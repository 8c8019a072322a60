#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "ado/core/Error.h"
#include "platform/Variant.h"

namespace ado {

// ADO data-type codes the engines report for columns.
namespace adtype {
constexpr int SmallInt = 2, Integer = 3, Single = 4, Double = 5, Currency = 6, Date = 7, BSTR = 8,
              Boolean = 11, Decimal = 14, TinyInt = 16, UnsignedTinyInt = 17, BigInt = 20,
              Binary = 128, Char = 129, WChar = 130, Numeric = 131, DBDate = 133, DBTime = 134,
              DBTimeStamp = 135, VarChar = 200, LongVarChar = 201, VarWChar = 202,
              LongVarWChar = 203, VarBinary = 204, LongVarBinary = 205;
}

struct ColumnInfo {
    QString name;
    int type = adtype::VarWChar;
    qint64 definedSize = 0;
};

// A result being read, row by row. Engines throw EngineError on failure.
class Cursor {
  public:
    virtual ~Cursor() = default;
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    // Fills `row` with the next row; false at the end.
    virtual bool next(std::vector<platform::Variant>& row) = 0;
};

struct ExecResult {
    std::unique_ptr<Cursor> cursor;  // null when the batch produced no rows
    qint64 affected = -1;            // rows touched by the changing statements, -1 when none ran
};

// A statement with "?" placeholders, prepared once and run many times.
class Prepared {
  public:
    virtual ~Prepared() = default;
    virtual void bind(int index, const platform::Variant& value) = 0;  // index from 0
    virtual ExecResult execute() = 0;
};

// One open database session. Every text it receives is in the SQL Server dialect; the engine
// translates it for its database. All failures are thrown as EngineError.
class Engine {
  public:
    virtual ~Engine() = default;
    virtual ExecResult execute(const QString& sql) = 0;
    virtual std::unique_ptr<Prepared> prepare(const QString& sql) = 0;
    // Runs one statement that only reads and gives its rows. A statement that would change data
    // or structure, a batch of several and one that gives no rows are refused before they can
    // change anything (an EngineError numbered code::NotReadOnly); the database stays as it was.
    virtual std::unique_ptr<Cursor> read(const QString& sql) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual bool inTransaction() const = 0;
    // Tables schema: columns TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE.
    virtual std::unique_ptr<Cursor> tables() = 0;
    // Columns schema of one table (all tables when empty): TABLE_CATALOG, TABLE_SCHEMA,
    // TABLE_NAME, COLUMN_NAME, ORDINAL_POSITION, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, IS_NULLABLE.
    virtual std::unique_ptr<Cursor> columns(const QString& table) = 0;
    // Key columns of a table, to locate a row for an update; empty when none is known.
    virtual std::vector<QString> primaryKey(const QString& table) = 0;
    virtual void setTimeout(int seconds) = 0;
    virtual void setDefaultDatabase(const QString& name) = 0;
    virtual QString source() const = 0;  // the provider text shown as the error source
    // Tells the engine's planner how a table's rows are spread now that many were written. A
    // server keeps its statistics itself: nothing to do there.
    virtual void refreshStatistics(const QString& table) { (void)table; }
    // Inside a transaction: waits for the other sessions' transactions that took the same name,
    // and keeps those that take it later waiting until this one ends, so that writers replacing
    // the same rows take turns. The embedded engine's write transaction keeps every other writer
    // out already: nothing to do there.
    virtual void lockName(const QString& name) { (void)name; }
    // Whether the session's link to its database is gone (a server stopped or out of reach),
    // asked after a failure with its records. An embedded database cannot be out of reach.
    virtual bool connectionLost(const std::vector<Error>& records) const {
        (void)records;
        return false;
    }
};

}  // namespace ado
