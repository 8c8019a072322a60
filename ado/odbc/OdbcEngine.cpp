#include "ado/odbc/OdbcEngine.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <deque>
#include <optional>

#include "ado/core/BufferedCursor.h"
#include "ado/core/Error.h"
#include "ado/pgsql/PgDialect.h"
#include "ado/sqlite/SqliteDialect.h"
#include "ado/tsql/Batch.h"
#include "platform/Regional.h"
#include "platform/so/Entorno.h"

namespace ado {

using platform::Variant;

namespace {

const QString kSource = QStringLiteral("Proveedor de datos ODBC");

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use UTF-16 wide text");

std::vector<SQLWCHAR> wide(const QString& s) {
    std::vector<SQLWCHAR> w(static_cast<std::size_t>(s.size()) + 1, 0);
    for (qsizetype i = 0; i < s.size(); ++i) w[static_cast<std::size_t>(i)] = s[i].unicode();
    return w;
}

QString fromWide(const SQLWCHAR* w, qsizetype chars) {
    return QString(reinterpret_cast<const QChar*>(w), chars);
}

// A failure's number, from its SQLSTATE (and, for an unknown object, the servers' own codes).
// Only a lost connection is numbered as the failure that makes the data-access class connect
// again.
qint32 numberFor(const QString& state, qint32 nativeError) {
    // Communication link failures: class 08, the older drivers' states for them, and a server's
    // notice that it is ending the connection (PostgreSQL 57P01 to 57P03).
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("S1T01") ||
        state == QLatin1String("HYT01") || state.startsWith(QLatin1String("57P0")))
        return code::EFail;
    // Unknown table or view: the standard's state, the server's own (PostgreSQL 42P01, SQL
    // Server 208, Oracle ORA-00942).
    if (state == QLatin1String("42S02") || state == QLatin1String("S0002") ||
        state == QLatin1String("42P01") || nativeError == native::InvalidObject ||
        nativeError == 942)
        return code::ObjectNotFound;
    // A change refused by a read-only transaction.
    if (state == QLatin1String("25006")) return code::NotReadOnly;
    if (state.startsWith(QLatin1String("23"))) return code::Constraint;
    if (state == QLatin1String("22001")) return code::Truncated;
    if (state.startsWith(QLatin1String("22"))) return code::ConversionFailed;
    if (state.startsWith(QLatin1String("HYT")) || state == QLatin1String("S1T00") ||
        state == QLatin1String("57014"))
        return code::Timeout;
    if (state.startsWith(QLatin1String("42")) || state.startsWith(QLatin1String("37")) ||
        state.startsWith(QLatin1String("S00")))
        return code::CommandText;
    return code::ErrorsOccurred;
}

std::vector<Error> diagnostics(SQLSMALLINT type, SQLHANDLE h) {
    std::vector<Error> out;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {0};
        SQLINTEGER nativeErr = 0;
        SQLWCHAR msg[2048] = {0};
        SQLSMALLINT len = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, h, i, state, &nativeErr, msg, 2048, &len);
        if (!SQL_SUCCEEDED(rc)) break;
        Error e;
        e.sqlState = fromWide(state, 5);
        e.nativeError = nativeErr;
        e.description = fromWide(msg, std::min<SQLSMALLINT>(len, 2047));
        e.source = kSource;
        out.push_back(e);
    }
    // Every record of one failure carries the failure's number, taken from its first state.
    qint32 number = code::EFail;
    for (const Error& e : out) {
        if (!e.sqlState.startsWith(QLatin1String("01"))) {
            number = numberFor(e.sqlState, e.nativeError);
            break;
        }
    }
    for (Error& e : out) e.number = number;
    if (out.empty())
        out.push_back(Error{code::EFail,
                            QStringLiteral("Error no especificado del controlador ODBC."), kSource,
                            QStringLiteral("HY000"), 0});
    return out;
}

[[noreturn]] void fail(SQLSMALLINT type, SQLHANDLE h) {
    throw EngineError(diagnostics(type, h));
}

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE h) {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) fail(type, h);
}

int adoType(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_CHAR:
            return adtype::Char;
        case SQL_VARCHAR:
            return adtype::VarChar;
        case SQL_LONGVARCHAR:
            return adtype::LongVarChar;
        case SQL_WCHAR:
            return adtype::WChar;
        case SQL_WVARCHAR:
            return adtype::VarWChar;
        case SQL_WLONGVARCHAR:
            return adtype::LongVarWChar;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return adtype::Numeric;
        case SQL_SMALLINT:
            return adtype::SmallInt;
        case SQL_INTEGER:
            return adtype::Integer;
        case SQL_REAL:
            return adtype::Single;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return adtype::Double;
        case SQL_BIT:
            return adtype::Boolean;
        case SQL_TINYINT:
            return adtype::UnsignedTinyInt;
        case SQL_BIGINT:
            return adtype::BigInt;
        case SQL_BINARY:
            return adtype::Binary;
        case SQL_VARBINARY:
            return adtype::VarBinary;
        case SQL_LONGVARBINARY:
            return adtype::LongVarBinary;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return adtype::DBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return adtype::DBTime;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return adtype::DBTimeStamp;
        default:
            return adtype::VarWChar;
    }
}

}  // namespace

struct OdbcEngine::Conn {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    ~Conn() {
        if (connected) SQLDisconnect(dbc);
        if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

namespace {

// A statement handle that keeps its connection alive.
struct Stmt {
    std::shared_ptr<OdbcEngine::Conn> conn;
    SQLHSTMT h = SQL_NULL_HSTMT;
    explicit Stmt(std::shared_ptr<OdbcEngine::Conn> c, int timeout) : conn(std::move(c)) {
        check(SQLAllocHandle(SQL_HANDLE_STMT, conn->dbc, &h), SQL_HANDLE_DBC, conn->dbc);
        if (timeout > 0)
            SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout)), 0);
    }
    ~Stmt() {
        if (h) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
};

std::vector<ColumnInfo> describe(SQLHSTMT h) {
    SQLSMALLINT n = 0;
    check(SQLNumResultCols(h, &n), SQL_HANDLE_STMT, h);
    std::vector<ColumnInfo> cols;
    for (SQLUSMALLINT i = 1; i <= n; ++i) {
        SQLWCHAR name[256] = {0};
        SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        check(SQLDescribeColW(h, i, name, 256, &nameLen, &type, &size, &digits, &nullable),
              SQL_HANDLE_STMT, h);
        ColumnInfo c;
        c.name = fromWide(name, std::min<SQLSMALLINT>(nameLen, 255));
        c.type = adoType(type);
        c.definedSize = static_cast<qint64>(size);
        cols.push_back(c);
    }
    return cols;
}

Variant readValue(SQLHSTMT h, SQLUSMALLINT col, int type) {
    SQLLEN ind = 0;
    switch (type) {
        case adtype::SmallInt:
        case adtype::Integer:
        case adtype::BigInt:
        case adtype::TinyInt:
        case adtype::UnsignedTinyInt: {
            SQLBIGINT v = 0;
            check(SQLGetData(h, col, SQL_C_SBIGINT, &v, 0, &ind), SQL_HANDLE_STMT, h);
            return ind == SQL_NULL_DATA ? Variant::null() : Variant(static_cast<qint64>(v));
        }
        case adtype::Single:
        case adtype::Double:
        case adtype::Numeric:
        case adtype::Decimal:
        case adtype::Currency: {
            double v = 0;
            check(SQLGetData(h, col, SQL_C_DOUBLE, &v, 0, &ind), SQL_HANDLE_STMT, h);
            return ind == SQL_NULL_DATA ? Variant::null() : Variant(v);
        }
        case adtype::Boolean: {
            unsigned char v = 0;
            check(SQLGetData(h, col, SQL_C_BIT, &v, 0, &ind), SQL_HANDLE_STMT, h);
            return ind == SQL_NULL_DATA ? Variant::null() : Variant(v != 0);
        }
        case adtype::DBDate:
        case adtype::DBTime:
        case adtype::DBTimeStamp: {
            SQL_TIMESTAMP_STRUCT ts{};
            const SQLRETURN rc = SQLGetData(h, col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind);
            if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, h);
            if (ind == SQL_NULL_DATA) return Variant::null();
            return Variant(QDateTime(
                QDate(ts.year, ts.month, ts.day),
                QTime(ts.hour, ts.minute, ts.second, static_cast<int>(ts.fraction / 1000000))));
        }
        default: {
            QString out;
            SQLWCHAR buf[2048];
            for (;;) {
                const SQLRETURN rc = SQLGetData(h, col, SQL_C_WCHAR, buf, sizeof buf, &ind);
                if (rc == SQL_NO_DATA) break;
                if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, h);
                if (ind == SQL_NULL_DATA) return Variant::null();
                const qsizetype maxChars =
                    static_cast<qsizetype>(sizeof buf / sizeof(SQLWCHAR)) - 1;
                const qsizetype got =
                    (ind == SQL_NO_TOTAL || ind / static_cast<SQLLEN>(sizeof(SQLWCHAR)) > maxChars)
                        ? maxChars
                        : ind / static_cast<SQLLEN>(sizeof(SQLWCHAR));
                out += fromWide(buf, got);
                if (rc == SQL_SUCCESS) break;
            }
            return Variant(out);
        }
    }
}

// Reads every row of the current result of a statement.
std::unique_ptr<Cursor> readAll(SQLHSTMT h, std::vector<ColumnInfo> cols) {
    std::vector<std::vector<Variant>> rows;
    for (;;) {
        const SQLRETURN rc = SQLFetch(h);
        if (rc == SQL_NO_DATA) break;
        if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, h);
        std::vector<Variant> row(cols.size());
        for (std::size_t i = 0; i < cols.size(); ++i)
            row[i] = readValue(h, static_cast<SQLUSMALLINT>(i + 1), cols[i].type);
        rows.push_back(std::move(row));
    }
    return std::make_unique<BufferedCursor>(std::move(cols), std::move(rows));
}

// Walks every result of an executed statement: the rows of the first one that has columns are
// kept, the counts of the others added up. Later statements of a batch run only as their
// results are walked, so all are walked.
void collect(SQLHSTMT h, SQLRETURN rc, ExecResult& r) {
    for (;;) {
        if (rc != SQL_NO_DATA && !SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, h);
        SQLSMALLINT n = 0;
        if (rc != SQL_NO_DATA) SQLNumResultCols(h, &n);
        if (n > 0) {
            // Only the first result's rows are kept; moving on to the next result drops the
            // rows of this one and keeps the results still to come (closing the cursor would
            // drop them all, and the statements behind them would never run).
            if (!r.cursor) r.cursor = readAll(h, describe(h));
        } else {
            SQLLEN count = -1;
            if (rc == SQL_NO_DATA) {
                count = 0;  // an UPDATE or DELETE that touched no row
            } else {
                SQLRowCount(h, &count);
            }
            if (count >= 0) r.affected = (r.affected < 0 ? 0 : r.affected) + count;
        }
        rc = SQLMoreResults(h);
        if (rc == SQL_NO_DATA) break;
    }
}

// One parameter of a prepared statement: its value, the buffers the driver reads it from, and
// the binding the driver was last given for them.
struct Parameter {
    // What SQLBindParameter is called with; the same binding twice is the same call.
    struct Binding {
        SQLSMALLINT cType = 0, sqlType = 0;
        SQLULEN size = 0;
        SQLPOINTER buffer = nullptr;
        SQLLEN length = 0;
        bool operator==(const Binding&) const = default;
    };

    // Puts the value in its buffer; returns the binding that hands it over.
    Binding fill() {
        switch (value.kind()) {
            case Variant::Kind::Empty:
            case Variant::Kind::Null:
                ind = SQL_NULL_DATA;
                return {SQL_C_WCHAR, SQL_WVARCHAR, 1, nullptr, 0};
            case Variant::Kind::Number:
                number = value.number();
                ind = 0;
                return {SQL_C_DOUBLE, SQL_DOUBLE, 15, &number, 0};
            case Variant::Kind::Boolean:
                bit = value.boolean() ? 1 : 0;
                ind = 0;
                return {SQL_C_BIT, SQL_BIT, 1, &bit, 0};
            case Variant::Kind::Date: {
                const QDateTime& d = value.date();
                stamp = SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(d.date().year()),
                                             static_cast<SQLUSMALLINT>(d.date().month()),
                                             static_cast<SQLUSMALLINT>(d.date().day()),
                                             static_cast<SQLUSMALLINT>(d.time().hour()),
                                             static_cast<SQLUSMALLINT>(d.time().minute()),
                                             static_cast<SQLUSMALLINT>(d.time().second()),
                                             0};
                ind = 0;
                return {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, &stamp, 0};
            }
            case Variant::Kind::Text:
                break;
        }
        const QString& t = value.text();
        // Within its capacity the buffer stays where it was bound.
        text.resize(static_cast<std::size_t>(t.size()) + 1);
        std::copy_n(reinterpret_cast<const SQLWCHAR*>(t.constData()), t.size(), text.data());
        text[static_cast<std::size_t>(t.size())] = 0;
        ind = static_cast<SQLLEN>(t.size() * static_cast<qsizetype>(sizeof(SQLWCHAR)));
        return {SQL_C_WCHAR, SQL_WVARCHAR, std::max<SQLULEN>(1, static_cast<SQLULEN>(t.size())),
                text.data(), ind};
    }

    Variant value;
    std::vector<SQLWCHAR> text;
    double number = 0;
    unsigned char bit = 0;
    SQL_TIMESTAMP_STRUCT stamp{};
    SQLLEN ind = 0;
    std::optional<Binding> bound;
};

class OdbcPrepared : public Prepared {
  public:
    OdbcPrepared(std::shared_ptr<OdbcEngine::Conn> c, int timeout, const QString& sql)
        : stmt_(std::move(c), timeout) {
        auto w = wide(sql);
        check(SQLPrepareW(stmt_.h, w.data(), SQL_NTS), SQL_HANDLE_STMT, stmt_.h);
    }
    void bind(int index, const Variant& value) override {
        if (static_cast<std::size_t>(index) >= params_.size())
            params_.resize(static_cast<std::size_t>(index) + 1);
        params_[static_cast<std::size_t>(index)].value = value;
    }
    // The driver reads the bound buffers at each execution, so a parameter is bound again only
    // when its binding changes (its kind, a text's length, a buffer that had to grow): a
    // statement of many rows run again binds a few of its parameters, not all of them.
    ExecResult execute() override {
        for (std::size_t i = 0; i < params_.size(); ++i) {
            Parameter& p = params_[i];
            const Parameter::Binding b = p.fill();
            if (p.bound == b) continue;
            p.bound.reset();
            check(SQLBindParameter(stmt_.h, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                   b.cType, b.sqlType, b.size, 0, b.buffer, b.length, &p.ind),
                  SQL_HANDLE_STMT, stmt_.h);
            p.bound = b;
        }
        ExecResult r;
        const SQLRETURN rc = SQLExecute(stmt_.h);
        collect(stmt_.h, rc, r);
        SQLFreeStmt(stmt_.h, SQL_CLOSE);
        return r;
    }

  private:
    // Bound buffers must not move: a deque keeps its elements where they are as it grows.
    std::deque<Parameter> params_;
    // Declared last, freed first: no buffer goes before the statement that reads it.
    Stmt stmt_;
};

std::unique_ptr<Cursor> remap(Cursor& in, const std::vector<std::pair<int, ColumnInfo>>& pick,
                              int typeColumn = -1) {
    std::vector<ColumnInfo> cols;
    for (const auto& [from, info] : pick) cols.push_back(info);
    std::vector<std::vector<Variant>> rows;
    std::vector<Variant> row;
    while (in.next(row)) {
        std::vector<Variant> out;
        for (std::size_t k = 0; k < pick.size(); ++k) {
            const int from = pick[k].first;
            Variant v = from >= 0 && from < static_cast<int>(row.size())
                            ? row[static_cast<std::size_t>(from)]
                            : Variant::null();
            if (static_cast<int>(k) == typeColumn && v.isNumber())
                v = Variant(adoType(static_cast<SQLSMALLINT>(v.number())));
            out.push_back(v);
        }
        rows.push_back(std::move(out));
    }
    return std::make_unique<BufferedCursor>(std::move(cols), std::move(rows));
}

}  // namespace

std::unique_ptr<OdbcEngine> OdbcEngine::open(const QString& connectionText,
                                             int loginTimeoutSeconds) {
    so::aseguraCaracteresUtf8();
    auto c = std::make_shared<Conn>();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &c->env))) {
        throw EngineError(
            Error{code::EFail,
                  QStringLiteral("No se pudo iniciar el administrador de controladores ODBC."),
                  kSource, QStringLiteral("HY000"), 0});
    }
    SQLSetEnvAttr(c->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    check(SQLAllocHandle(SQL_HANDLE_DBC, c->env, &c->dbc), SQL_HANDLE_ENV, c->env);
    if (loginTimeoutSeconds > 0)
        SQLSetConnectAttr(c->dbc, SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)),
                          0);
    auto w = wide(connectionText);
    SQLWCHAR out[1024];
    SQLSMALLINT outLen = 0;
    const SQLRETURN rc = SQLDriverConnectW(c->dbc, nullptr, w.data(), SQL_NTS, out, 1024, &outLen,
                                           SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        auto records = diagnostics(SQL_HANDLE_DBC, c->dbc);
        // A server that cannot be reached or refuses the login is the generic failure.
        for (Error& e : records) e.number = code::EFail;
        throw EngineError(records);
    }
    c->connected = true;
    std::unique_ptr<OdbcEngine> e(new OdbcEngine(c));
    SQLWCHAR name[256] = {0};
    SQLSMALLINT len = 0;
    if (SQL_SUCCEEDED(SQLGetInfoW(c->dbc, SQL_DBMS_NAME, name, sizeof name, &len)))
        e->dbms_ = fromWide(name, len / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)));
    e->readDatesInTheRegionalOrder();
    return e;
}

// The program's statements carry short dates as the user types them, in the regional order; a
// server reads them in its own (an English login, PostgreSQL's default), so "01/02/2026" would
// be the 2nd of January and "13/02/2026" no date at all. The session takes the regional order.
void OdbcEngine::readDatesInTheRegionalOrder() {
    const QString format = platform::Regional::current().shortDateFormat;
    std::vector<std::pair<qsizetype, char>> parts{{format.indexOf(QLatin1Char('d')), 'd'},
                                                  {format.indexOf(QLatin1Char('M')), 'm'},
                                                  {format.indexOf(QLatin1Char('y')), 'y'}};
    std::sort(parts.begin(), parts.end());
    QString order;
    for (const auto& [at, part] : parts) {
        if (at < 0) return;  // not a day-month-year format: the server's own stays
        order += QLatin1Char(part);
    }
    if (dbms_.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        runDirect(QStringLiteral("SET DateStyle = 'ISO, %1'").arg(order.toUpper()));
    else if (dbms_.contains(QLatin1String("SQL Server"), Qt::CaseInsensitive))
        runDirect(QStringLiteral("SET DATEFORMAT %1").arg(order));
}

OdbcEngine::~OdbcEngine() {
    if (inTransaction_) {
        SQLEndTran(SQL_HANDLE_DBC, c_->dbc, SQL_ROLLBACK);
    }
}

bool OdbcEngine::speaksSqlite() const {
    return dbms_.contains(QLatin1String("SQLite"), Qt::CaseInsensitive);
}

bool OdbcEngine::speaksPostgres() const {
    return dbms_.contains(QLatin1String("PostgreSQL"), Qt::CaseInsensitive);
}

QString OdbcEngine::source() const {
    return kSource;
}

ExecResult OdbcEngine::execute(const QString& sql) {
    QStringList statements;
    if (speaksSqlite()) {
        for (const QString& s : tsql::splitBatch(sql)) {
            const QString t =
                sqlite_dialect::translate(s, platform::Regional::current(), false).trimmed();
            if (!t.isEmpty()) statements << t;
        }
    } else if (speaksPostgres()) {
        statements = pg_dialect::translateBatch(sql, platform::Regional::current());
    } else {
        statements << sql;
    }
    const bool translated = speaksSqlite() || speaksPostgres();
    ExecResult r;
    for (const QString& s : statements) {
        // Transaction control by text goes through the driver, which keeps its own state.
        const QString head = s.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
        if (translated && (head == QLatin1String("BEGIN") || head == QLatin1String("COMMIT") ||
                           head == QLatin1String("ROLLBACK") || head == QLatin1String("END"))) {
            if (head == QLatin1String("BEGIN"))
                begin();
            else
                endTransaction(head != QLatin1String("ROLLBACK"));
            continue;
        }
        Stmt st(c_, timeout_);
        auto w = wide(s);
        const SQLRETURN rc = SQLExecDirectW(st.h, w.data(), SQL_NTS);
        ExecResult one;
        collect(st.h, rc, one);
        if (one.cursor && !r.cursor) r.cursor = std::move(one.cursor);
        if (one.affected >= 0) r.affected = (r.affected < 0 ? 0 : r.affected) + one.affected;
    }
    return r;
}

std::unique_ptr<Prepared> OdbcEngine::prepare(const QString& sql) {
    const platform::Regional& regional = platform::Regional::current();
    const QString text = speaksSqlite()     ? sqlite_dialect::translate(sql, regional, false)
                         : speaksPostgres() ? pg_dialect::translate(sql, regional)
                                            : sql;
    return std::make_unique<OdbcPrepared>(c_, timeout_, text);
}

std::unique_ptr<Cursor> OdbcEngine::read(const QString& sql) {
    // A server runs a batch whole, so only one statement is let through, and no transaction
    // control (it reads nothing and would end the transaction around the read). Within the
    // statement the read-only transaction refuses a change; the rollback undoes what a server
    // without one let it do.
    static const QRegularExpression control(
        QStringLiteral("^\\s*(BEGIN|COMMIT|ROLLBACK|END|SAVE|SAVEPOINT|RELEASE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    if (tsql::splitBatch(sql).size() != 1 || control.match(sql).hasMatch())
        throw EngineError(notReadOnly(kSource));
    if (inTransaction_) {
        throw EngineError(Error{code::ErrorsOccurred,
                                QStringLiteral("Una consulta que solo lee no se abre dentro de "
                                               "una transacción en curso."),
                                kSource, QStringLiteral("25000"), 0});
    }
    startReading();
    ExecResult r;
    try {
        r = execute(sql);
    } catch (const EngineError& e) {
        endReading();
        // The SQLite driver's refusal of a write under query_only carries no state of its own.
        if (speaksSqlite() && !e.records().empty() &&
            e.records().front().description.contains(QLatin1String("readonly"),
                                                     Qt::CaseInsensitive))
            throw EngineError(notReadOnly(kSource));
        throw;
    }
    endReading();
    if (!r.cursor) throw EngineError(notReadOnly(kSource));
    return std::move(r.cursor);
}

void OdbcEngine::runDirect(const QString& sql) {
    Stmt st(c_, timeout_);
    auto w = wide(sql);
    ExecResult ignored;
    collect(st.h, SQLExecDirectW(st.h, w.data(), SQL_NTS), ignored);
}

void OdbcEngine::startReading() {
    // A driver that honours the access mode refuses changes itself; the others ignore it.
    SQLSetConnectAttr(c_->dbc, SQL_ATTR_ACCESS_MODE,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_ONLY)), 0);
    begin();
    try {
        if (speaksSqlite()) {
            runDirect(QStringLiteral("PRAGMA query_only = 1"));
        } else if (speaksPostgres() ||
                   dbms_.contains(QLatin1String("Oracle"), Qt::CaseInsensitive)) {
            runDirect(QStringLiteral("SET TRANSACTION READ ONLY"));
        }
    } catch (const EngineError&) {
        endReading();
        throw;
    }
}

void OdbcEngine::endReading() noexcept {
    try {
        endTransaction(false);
    } catch (const EngineError&) {
        // The transaction is gone with the failure that ended it; nothing of it was kept.
    }
    if (speaksSqlite()) {
        try {
            runDirect(QStringLiteral("PRAGMA query_only = 0"));
        } catch (const EngineError&) {
            // A connection that cannot take it back is broken: its next use says so.
        }
    }
    SQLSetConnectAttr(c_->dbc, SQL_ATTR_ACCESS_MODE,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_MODE_READ_WRITE)), 0);
}

void OdbcEngine::begin() {
    if (inTransaction_) {
        throw EngineError(Error{code::EFail, QStringLiteral("Ya hay una transacción en curso."),
                                kSource, QStringLiteral("25000"), 0});
    }
    check(SQLSetConnectAttr(c_->dbc, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
          SQL_HANDLE_DBC, c_->dbc);
    inTransaction_ = true;
}

void OdbcEngine::endTransaction(bool commitIt) {
    if (!inTransaction_) {
        throw EngineError(Error{code::EFail, QStringLiteral("No hay ninguna transacción activa."),
                                kSource, QStringLiteral("25000"), 0});
    }
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, c_->dbc, commitIt ? SQL_COMMIT : SQL_ROLLBACK);
    inTransaction_ = false;
    SQLSetConnectAttr(c_->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                      0);
    check(rc, SQL_HANDLE_DBC, c_->dbc);
}

void OdbcEngine::commit() {
    endTransaction(true);
}
void OdbcEngine::rollback() {
    endTransaction(false);
}

void OdbcEngine::lockName(const QString& name) {
    // PostgreSQL locks rows, not the rows a statement did not find: two transactions that empty
    // the same rows and write them anew would both keep what they wrote. An advisory lock of the
    // transaction, numbered from the name, makes the second wait for the first to end.
    if (!speaksPostgres()) return;
    const QByteArray hash =
        QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).left(8);
    quint64 number = 0;
    for (const char b : hash) number = (number << 8) | static_cast<unsigned char>(b);
    runDirect(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(static_cast<qint64>(number)));
}

bool OdbcEngine::connectionLost(const std::vector<Error>& records) const {
    // The states of class 08 are the link's own; PostgreSQL's 57P01-57P03 say the server ended
    // the session (stopped, crashed, starting or stopping), which its driver may not yet count as
    // a dead link.
    if (std::any_of(records.begin(), records.end(), [](const Error& r) {
            return r.sqlState.startsWith(QLatin1String("08")) ||
                   r.sqlState.startsWith(QLatin1String("57P0"));
        }))
        return true;
    // A driver that cannot tell is taken to be connected.
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(SQLGetConnectAttr(c_->dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

void OdbcEngine::setDefaultDatabase(const QString& name) {
    if (speaksSqlite() || name.trimmed().isEmpty()) return;
    auto w = wide(name.trimmed());
    check(SQLSetConnectAttrW(c_->dbc, SQL_ATTR_CURRENT_CATALOG, w.data(), SQL_NTS), SQL_HANDLE_DBC,
          c_->dbc);
}

std::unique_ptr<Cursor> OdbcEngine::tables() {
    Stmt st(c_, timeout_);
    auto types = wide(QStringLiteral("TABLE,VIEW"));
    const SQLRETURN rc =
        SQLTablesW(st.h, nullptr, 0, nullptr, 0, nullptr, 0, types.data(), SQL_NTS);
    check(rc, SQL_HANDLE_STMT, st.h);
    auto all = readAll(st.h, describe(st.h));
    return remap(*all, {{0, {QStringLiteral("TABLE_CATALOG"), adtype::VarWChar, 128}},
                        {1, {QStringLiteral("TABLE_SCHEMA"), adtype::VarWChar, 128}},
                        {2, {QStringLiteral("TABLE_NAME"), adtype::VarWChar, 128}},
                        {3, {QStringLiteral("TABLE_TYPE"), adtype::VarWChar, 128}}});
}

std::unique_ptr<Cursor> OdbcEngine::columns(const QString& table) {
    Stmt st(c_, timeout_);
    auto t = wide(table.trimmed());
    const SQLRETURN rc =
        SQLColumnsW(st.h, nullptr, 0, nullptr, 0, table.trimmed().isEmpty() ? nullptr : t.data(),
                    table.trimmed().isEmpty() ? 0 : SQL_NTS, nullptr, 0);
    check(rc, SQL_HANDLE_STMT, st.h);
    auto all = readAll(st.h, describe(st.h));
    return remap(*all,
                 {{0, {QStringLiteral("TABLE_CATALOG"), adtype::VarWChar, 128}},
                  {1, {QStringLiteral("TABLE_SCHEMA"), adtype::VarWChar, 128}},
                  {2, {QStringLiteral("TABLE_NAME"), adtype::VarWChar, 128}},
                  {3, {QStringLiteral("COLUMN_NAME"), adtype::VarWChar, 128}},
                  {16, {QStringLiteral("ORDINAL_POSITION"), adtype::Integer, 4}},
                  {4, {QStringLiteral("DATA_TYPE"), adtype::SmallInt, 2}},
                  {6, {QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), adtype::Integer, 4}},
                  {10, {QStringLiteral("IS_NULLABLE"), adtype::Boolean, 2}}},
                 5);
}

std::vector<QString> OdbcEngine::primaryKey(const QString& table) {
    Stmt st(c_, timeout_);
    auto t = wide(table.trimmed());
    const SQLRETURN rc = SQLPrimaryKeysW(st.h, nullptr, 0, nullptr, 0, t.data(), SQL_NTS);
    check(rc, SQL_HANDLE_STMT, st.h);
    auto all = readAll(st.h, describe(st.h));
    std::vector<std::pair<int, QString>> keys;
    std::vector<Variant> row;
    while (all->next(row))
        if (row.size() > 4)
            keys.emplace_back(static_cast<int>(row[4].isNumber() ? row[4].number() : 0),
                              row[3].textOr(QString()));
    std::sort(keys.begin(), keys.end());
    std::vector<QString> out;
    for (auto& k : keys) out.push_back(k.second);
    return out;
}

}  // namespace ado
