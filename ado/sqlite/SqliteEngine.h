#pragma once

#include <functional>
#include <memory>

#include "ado/core/Engine.h"

struct sqlite3;

namespace ado {

// The embedded engine: one SQLite database file, opened (never created) in WAL mode with a busy
// time-out and immediate write transactions, text compared as the suite's server compares it.
class SqliteEngine : public Engine {
  public:
    // Raises EngineError when the file is missing or is not a database.
    static std::unique_ptr<SqliteEngine> open(const QString& path, bool localFile = false);

    // Creates a new database file (the demo and the tests use it); fails when it exists.
    static void create(const QString& path);
    // For tests: the `n`th call from now that runs statements (an execution, a prepared
    // execution, the start or the commit of a transaction) fails as a disk error would, or as a
    // refused allocation (std::bad_alloc, not a failure of the database); 0 makes none fail. The
    // calls are counted either way.
    enum class Injected { Disk, Memory };
    static void failCallFromNow(int n, Injected kind = Injected::Disk);
    static int callsCounted();

    // Runs SQLite text as it stands (no dialect translation), for creating schemas.
    void executeRaw(const QString& sql);

    ExecResult execute(const QString& sql) override;
    std::unique_ptr<Prepared> prepare(const QString& sql) override;
    std::unique_ptr<Cursor> read(const QString& sql) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override;
    std::unique_ptr<Cursor> tables() override;
    std::unique_ptr<Cursor> columns(const QString& table) override;
    std::vector<QString> primaryKey(const QString& table) override;
    void setTimeout(int seconds) override;
    void setDefaultDatabase(const QString&) override {}
    void refreshStatistics(const QString& table) override;
    QString source() const override;

    struct Handle;  // shared with the cursors, so that the file closes after the last of them

  private:
    explicit SqliteEngine(std::shared_ptr<Handle> h) : h_(std::move(h)) {}
    // Which columns hold dates, for the translation of statements.
    std::function<bool(const QString&, const QString&)> dateColumns() const;
    // The declared length of text columns, for the length checks of statements.
    std::function<std::vector<std::pair<QString, qint64>>(const QString&)> columnLengths() const;
    // After a statement that may have changed the schema.
    void schemaChanged();
    std::shared_ptr<Handle> h_;
};

// Registers the collation "CI" and the SQL Server-like functions on a connection.
void registerSqliteExtensions(sqlite3* db);

}  // namespace ado
