#pragma once

#include <memory>

#include "ado/core/Engine.h"

namespace ado {

// The engine for real servers, through the ODBC driver manager. Statements go to the server as
// they are, except for a driver over SQLite, which gets the same translation as the embedded
// engine, and a PostgreSQL server, which gets its own. Every diagnostic record of a failure becomes
// one error, in order.
class OdbcEngine : public Engine {
  public:
    static std::unique_ptr<OdbcEngine> open(const QString& connectionText, int loginTimeoutSeconds);
    ~OdbcEngine() override;

    ExecResult execute(const QString& sql) override;
    std::unique_ptr<Prepared> prepare(const QString& sql) override;
    std::unique_ptr<Cursor> read(const QString& sql) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    bool inTransaction() const override { return inTransaction_; }
    std::unique_ptr<Cursor> tables() override;
    std::unique_ptr<Cursor> columns(const QString& table) override;
    std::vector<QString> primaryKey(const QString& table) override;
    void setTimeout(int seconds) override { timeout_ = seconds; }
    void setDefaultDatabase(const QString& name) override;
    void lockName(const QString& name) override;
    bool connectionLost(const std::vector<Error>& records) const override;
    QString source() const override;

    QString dbmsName() const { return dbms_; }
    bool speaksSqlite() const;
    bool speaksPostgres() const;

    struct Conn;

  private:
    explicit OdbcEngine(std::shared_ptr<Conn> c) : c_(std::move(c)) {}
    void endTransaction(bool commit);
    // Around a read that may not change anything: a transaction made read-only as far as the
    // server allows, always rolled back.
    void startReading();
    void endReading() noexcept;
    void runDirect(const QString& sql);
    void readDatesInTheRegionalOrder();

    std::shared_ptr<Conn> c_;
    QString dbms_;
    int timeout_ = 30;
    bool inTransaction_ = false;
};

}  // namespace ado
