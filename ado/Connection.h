#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "ado/Errors.h"
#include "ado/core/Engine.h"
#include "platform/Variant.h"

namespace ado {

class Recordset;

namespace adstate {
constexpr int Closed = 0, Open = 1;
}
namespace adcursor {
constexpr int ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3;
constexpr int UseServer = 2, UseClient = 3;
}  // namespace adcursor
namespace adlock {
constexpr int ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4;
}
namespace adxact {
constexpr int ReadUncommitted = 256, ReadCommitted = 4096, RepeatableRead = 65536,
              Serializable = 1048576;
}
namespace adschema {
constexpr int Columns = 4, Tables = 20;
}

// A database connection in the manner the suite's code expects of one: opened with a connection
// string, statements in the SQL Server dialect, failures raised as the current error (a Failure)
// with every diagnostic record in `errors()`. Copies are references to the same connection.
class Connection {
  public:
    Connection();

    // Raises 3705 when already open. User and password, when not empty, override the string's.
    void open(const QString& connectionString = {}, const QString& user = {},
              const QString& password = {}, int options = -1);
    void close();  // raises 3704 when closed
    int state() const;

    // Runs a statement or a batch; the recordset of the first statement that returns rows
    // (closed when none did). `recordsAffected` gets the rows the changing statements touched.
    std::shared_ptr<Recordset> execute(const QString& text, qint64* recordsAffected = nullptr,
                                       int options = -1);

    // Lets the engine's planner know the table's rows after a large write; never raises, as a
    // plan is only slower without it.
    void refreshStatistics(const QString& table);
    // Inside a transaction: waits for the other users' transactions that took the same name and
    // keeps the next ones waiting until this one ends.
    void lockName(const QString& name);
    int beginTrans();
    void commitTrans();
    void rollbackTrans();

    // Tables (20, restrictions catalogue, schema, table, type) and columns (4, restrictions
    // catalogue, schema, table, column) schemas as static recordsets.
    std::shared_ptr<Recordset> openSchema(int schema,
                                          const std::vector<platform::Variant>& restrictions = {});

    // The handle is a reference: a const handle still reaches the one collection.
    Errors& errors() const;

    QString connectionString() const;
    void setConnectionString(const QString& s);
    QString defaultDatabase() const;
    void setDefaultDatabase(const QString& name);
    int commandTimeout() const;
    void setCommandTimeout(int seconds);
    int connectionTimeout() const;
    void setConnectionTimeout(int seconds);
    int cursorLocation() const;
    void setCursorLocation(int location);
    int isolationLevel() const;
    void setIsolationLevel(int level);
    QString provider() const;

    bool sameAs(const Connection& other) const { return impl_ == other.impl_; }
    // Grows at every open, so that what was prepared on an earlier session is not reused.
    quint64 session() const;

    // For the recordset and command: the open engine (raises 3709 when closed), and the guard
    // that turns an engine failure into the errors collection plus the raised current error.
    Engine& engine() const;
    [[noreturn]] void fail(const EngineError& e) const;
    template <class F>
    decltype(auto) guarded(F&& f) const {
        try {
            return f();
        } catch (const EngineError& e) {
            fail(e);
        }
    }

    struct Impl;

  private:
    std::shared_ptr<Impl> impl_;
};

}  // namespace ado
