#include "ado/Connection.h"

#include "ado/ConnectionString.h"
#include "ado/Recordset.h"
#include "ado/core/BufferedCursor.h"
#include "ado/odbc/OdbcEngine.h"
#include "ado/sqlite/SqliteEngine.h"

namespace ado {

using platform::Variant;

namespace {
const QString kSource = QStringLiteral("ADODB.Connection");
}

struct Connection::Impl {
    std::unique_ptr<Engine> engine;
    Errors errors;
    QString connectionString;
    QString defaultDatabase;
    QString provider = QStringLiteral("MSDASQL");
    int commandTimeout = 30;
    int connectionTimeout = 15;
    int cursorLocation = adcursor::UseServer;
    int isolationLevel = adxact::ReadCommitted;
    int transactionLevel = 0;
    quint64 session = 0;

    ~Impl() {
        try {
            if (engine && engine->inTransaction()) engine->rollback();
        } catch (...) {
            // Closing never throws; an unfinished transaction is simply not kept.
        }
    }
};

Connection::Connection() : impl_(std::make_shared<Impl>()) {}

Engine& Connection::engine() const {
    if (!impl_->engine) {
        raiseAdo(code::ConnectionUnusable, kSource);
    }
    return *impl_->engine;
}

void Connection::fail(const EngineError& e) const {
    std::vector<Error> records = e.records();
    // A driver reports a broken link as whatever it could not send (psqlodbc: "internal
    // SAVEPOINT failed"). The operator reads the lost connection first, and every record carries
    // its number, the one that makes the suite connect again; the driver's records follow.
    if (impl_->engine && impl_->engine->connectionLost(records)) {
        records.insert(records.begin(), lostConnection(impl_->engine->source()));
        for (Error& r : records) r.number = code::EFail;
    }
    impl_->errors.assign(records);
    const Error& first = records.front();
    platform::raise(first.number, first.description, first.source);
}

void Connection::open(const QString& connectionString, const QString& user, const QString& password,
                      int) {
    if (impl_->engine) {
        raiseAdo(code::ObjectOpen, kSource);
    }
    const QString text = connectionString.isEmpty() ? impl_->connectionString : connectionString;
    impl_->errors.clear();
    const EngineChoice choice = chooseEngine(text, user, password);
    try {
        if (choice.kind == EngineChoice::Kind::Sqlite) {
            impl_->engine = SqliteEngine::open(choice.sqlitePath, choice.localFile);
        } else {
            impl_->engine = OdbcEngine::open(choice.odbcText, impl_->connectionTimeout);
        }
        impl_->engine->setTimeout(impl_->commandTimeout);
    } catch (const EngineError& e) {
        impl_->engine.reset();
        fail(e);
    }
    impl_->connectionString = text;
    impl_->provider = choice.provider;
    impl_->defaultDatabase = choice.database;
    impl_->transactionLevel = 0;
    ++impl_->session;
}

quint64 Connection::session() const {
    return impl_->session;
}

void Connection::close() {
    if (!impl_->engine) {
        raiseAdo(code::ObjectClosed, kSource);
    }
    try {
        if (impl_->engine->inTransaction()) impl_->engine->rollback();
    } catch (const EngineError&) {
        // The engine goes away below; its transaction with it.
    }
    impl_->engine.reset();
    impl_->transactionLevel = 0;
}

int Connection::state() const {
    return impl_->engine ? adstate::Open : adstate::Closed;
}

std::shared_ptr<Recordset> Connection::execute(const QString& text, qint64* recordsAffected, int) {
    Engine& e = engine();
    impl_->errors.clear();
    ExecResult r = guarded([&] { return e.execute(text); });
    if (recordsAffected) *recordsAffected = r.affected;
    auto rs = std::make_shared<Recordset>();
    if (r.cursor)
        rs->openOver(std::move(r.cursor), *this, text, adcursor::ForwardOnly, adlock::ReadOnly);
    return rs;
}

void Connection::refreshStatistics(const QString& table) {
    if (state() == adstate::Open) engine().refreshStatistics(table);
}

void Connection::lockName(const QString& name) {
    Engine& e = engine();
    impl_->errors.clear();
    guarded([&] { e.lockName(name); });
}

int Connection::beginTrans() {
    Engine& e = engine();
    guarded([&] { e.begin(); });
    return ++impl_->transactionLevel;
}

void Connection::commitTrans() {
    Engine& e = engine();
    guarded([&] { e.commit(); });
    if (impl_->transactionLevel > 0) --impl_->transactionLevel;
}

void Connection::rollbackTrans() {
    Engine& e = engine();
    guarded([&] { e.rollback(); });
    if (impl_->transactionLevel > 0) --impl_->transactionLevel;
}

std::shared_ptr<Recordset> Connection::openSchema(int schema,
                                                  const std::vector<Variant>& restrictions) {
    Engine& e = engine();
    auto restriction = [&](std::size_t i) {
        return i < restrictions.size() && restrictions[i].isText()
                   ? restrictions[i].text().trimmed()
                   : QString();
    };
    std::unique_ptr<Cursor> cursor;
    try {
        if (schema == adschema::Tables) {
            cursor = e.tables();
        } else if (schema == adschema::Columns) {
            cursor = e.columns(restriction(2));
        } else {
            raiseAdo(
                code::ArgumentsWrong,
                QStringLiteral("Los argumentos son de tipo incorrecto, están fuera del intervalo "
                               "aceptable o están en conflicto entre sí."),
                kSource);
        }
    } catch (const EngineError& err) {
        fail(err);
    }
    // Keep only the rows that match the text restrictions (table name, column name, type).
    const std::vector<ColumnInfo> cols = cursor->columns();
    std::vector<std::vector<Variant>> rows;
    std::vector<Variant> row;
    const int tableCol = 2;
    const int lastCol = 3;  // TABLE_TYPE for tables, COLUMN_NAME for columns
    while (cursor->next(row)) {
        bool keep = true;
        for (int i : {tableCol, lastCol}) {
            const QString want = restriction(static_cast<std::size_t>(i));
            if (!want.isEmpty() &&
                row[static_cast<std::size_t>(i)].textOr(QString()).trimmed().compare(
                    want, Qt::CaseInsensitive) != 0)
                keep = false;
        }
        if (keep) rows.push_back(row);
    }
    auto rs = std::make_shared<Recordset>();
    rs->openOver(std::make_unique<BufferedCursor>(cols, std::move(rows)), *this, QString(),
                 adcursor::Static, adlock::ReadOnly);
    return rs;
}

Errors& Connection::errors() const {
    return impl_->errors;
}

QString Connection::connectionString() const {
    return impl_->connectionString;
}
void Connection::setConnectionString(const QString& s) {
    if (impl_->engine) {
        raiseAdo(code::ObjectOpen, kSource);
    }
    impl_->connectionString = s;
}

QString Connection::defaultDatabase() const {
    return impl_->defaultDatabase;
}
void Connection::setDefaultDatabase(const QString& name) {
    if (impl_->engine) {
        guarded([&] { impl_->engine->setDefaultDatabase(name); });
    }
    impl_->defaultDatabase = name;
}

int Connection::commandTimeout() const {
    return impl_->commandTimeout;
}
void Connection::setCommandTimeout(int seconds) {
    impl_->commandTimeout = seconds;
    if (impl_->engine) impl_->engine->setTimeout(seconds);
}
int Connection::connectionTimeout() const {
    return impl_->connectionTimeout;
}
void Connection::setConnectionTimeout(int seconds) {
    impl_->connectionTimeout = seconds;
}
int Connection::cursorLocation() const {
    return impl_->cursorLocation;
}
void Connection::setCursorLocation(int location) {
    impl_->cursorLocation = location;
}
int Connection::isolationLevel() const {
    return impl_->isolationLevel;
}
void Connection::setIsolationLevel(int level) {
    impl_->isolationLevel = level;
}
QString Connection::provider() const {
    return impl_->provider;
}

}  // namespace ado
