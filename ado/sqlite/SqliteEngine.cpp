#include "ado/sqlite/SqliteEngine.h"

#include <sqlite3.h>

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <new>
#include <optional>
#include <set>

#include "ado/core/BufferedCursor.h"
#include "ado/core/Error.h"
#include "ado/sqlite/IndexStatistics.h"
#include "ado/sqlite/SqliteDialect.h"
#include "ado/sqlite/SqliteStatement.h"
#include "ado/tsql/Batch.h"
#include "ado/tsql/DateLiteral.h"
#include "platform/ArchivoLegible.h"
#include "platform/Failure.h"
#include "platform/Regional.h"

namespace ado {

using platform::Variant;

namespace {
class SqliteCursor;
}

struct SqliteEngine::Handle {
    sqlite3* db = nullptr;
    bool localFile = false;
    QString path;
    // Cursors still stepping a statement: each holds the connection's read snapshot open.
    std::vector<SqliteCursor*> readers;
    // Declared columns of the tables met so far, by lower-case table name; forgotten after any
    // change of the schema.
    struct Column {
        QString name;
        bool date = false;
        qint64 length = 0;  // declared length of a text column, 0 when none
    };
    std::map<QString, std::vector<Column>> schema;
    const std::vector<Column>& columnsOf(const QString& table);
    bool isDateColumn(const QString& table, const QString& column);

    qint64 lengthOf(const QString& table, const QString& column);
    ~Handle() {
        if (db) sqlite3_close_v2(db);  // deferred until the last statement is finalised
    }
    // Before a write outside a transaction: the open reads are read to their end and let go.
    void releaseReaders();
};

namespace {

const QString kSource = QStringLiteral("Proveedor de datos SQLite");

// The calls that run statements, counted for the tests that make one of them fail.
// Atomic: a report reads on several connections at once.
struct InjectedFailure {
    std::atomic<int> target = 0;  // 0: none
    std::atomic<int> counted = 0;
    std::atomic<bool> memory = false;  // a refused allocation rather than a disk error
};
InjectedFailure& injected() {
    static InjectedFailure f;
    return f;
}
void countCall() {
    InjectedFailure& f = injected();
    const int n = ++f.counted;
    if (f.target > 0 && n == f.target) {
        if (f.memory) throw std::bad_alloc();
        throw EngineError(Error{code::ErrorsOccurred,
                                QStringLiteral("Error de disco: no se pudo leer ni escribir la "
                                               "base de datos."),
                                kSource, QStringLiteral("HY000"), 1546});
    }
}
// What the length check raises; mapped to the server's truncation error.
constexpr const char* kTooLong = "cronequipo: texto demasiado largo";

// ---- text comparison as the suite's server does it: no case, trailing blanks ignored ----

QString foldForCompare(const void* data, int len) {
    QString s = QString::fromUtf8(static_cast<const char*>(data), len);
    int end = static_cast<int>(s.size());
    while (end > 0 && s[end - 1] == QLatin1Char(' ')) --end;
    s.truncate(end);
    return s.toCaseFolded();
}

int compareCi(void*, int l1, const void* d1, int l2, const void* d2) {
    const auto* a = static_cast<const unsigned char*>(d1);
    const auto* b = static_cast<const unsigned char*>(d2);
    // The same bytes, the commonest case by far in a scan (one user's rows, one label's entries).
    if (l1 == l2 && std::memcmp(a, b, static_cast<std::size_t>(l1)) == 0) return 0;
    while (l1 > 0 && a[l1 - 1] == ' ') --l1;
    while (l2 > 0 && b[l2 - 1] == ' ') --l2;
    // Plain ASCII, by far the common case, is compared in place; anything else through Unicode
    // case folding.
    const int n = std::min(l1, l2);
    for (int i = 0; i < n; ++i) {
        const unsigned char x = a[i], y = b[i];
        if ((x | y) & 0x80) return QString::compare(foldForCompare(d1, l1), foldForCompare(d2, l2));
        const int fx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
        const int fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
        if (fx != fy) return fx < fy ? -1 : 1;
    }
    for (int i = n; i < l1; ++i)
        if (a[i] & 0x80) return QString::compare(foldForCompare(d1, l1), foldForCompare(d2, l2));
    for (int i = n; i < l2; ++i)
        if (b[i] & 0x80) return QString::compare(foldForCompare(d1, l1), foldForCompare(d2, l2));
    return l1 == l2 ? 0 : (l1 < l2 ? -1 : 1);
}

QString argText(sqlite3_value* v) {
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return t ? QString::fromUtf8(t, sqlite3_value_bytes(v)) : QString();
}

void resultText(sqlite3_context* ctx, const QString& s) {
    const QByteArray u = s.toUtf8();
    sqlite3_result_text(ctx, u.constData(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

void fnUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toUpper());
}

void fnLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    resultText(ctx, argText(argv[0]).toLower());
}

// LIKE with % _ and [set] wildcards, without regard to case.
bool likeMatch(const QString& p, int pi, const QString& s, int si) {
    while (pi < p.size()) {
        const QChar c = p[pi];
        if (c == QLatin1Char('%')) {
            while (pi < p.size() && p[pi] == QLatin1Char('%')) ++pi;
            if (pi == p.size()) return true;
            for (int k = si; k <= s.size(); ++k)
                if (likeMatch(p, pi, s, k)) return true;
            return false;
        }
        if (si >= s.size()) return false;
        if (c == QLatin1Char('_')) {
            ++pi;
            ++si;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const int close = static_cast<int>(p.indexOf(QLatin1Char(']'), pi + 1));
            if (close > pi + 1) {
                QString set = p.mid(pi + 1, close - pi - 1);
                bool negate = set.startsWith(QLatin1Char('^'));
                if (negate) set.remove(0, 1);
                bool hit = false;
                for (int k = 0; k < set.size(); ++k) {
                    if (k + 2 < set.size() && set[k + 1] == QLatin1Char('-')) {
                        if (s[si] >= set[k] && s[si] <= set[k + 2]) hit = true;
                        k += 2;
                    } else if (set[k] == s[si]) {
                        hit = true;
                    }
                }
                if (hit == negate) return false;
                pi = close + 1;
                ++si;
                continue;
            }
        }
        if (c != s[si]) return false;
        ++pi;
        ++si;
    }
    return si == s.size();
}

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    QString pattern = argText(argv[0]).toCaseFolded();
    QString text = argText(argv[1]).toCaseFolded();
    if (argc == 3) {
        // An escape character: turn "e%" into "[%]" forms the matcher understands.
        const QString esc = argText(argv[2]);
        if (!esc.isEmpty()) {
            QString out;
            for (int i = 0; i < pattern.size(); ++i) {
                if (pattern[i] == esc[0] && i + 1 < pattern.size()) {
                    out += QLatin1Char('[') + pattern[++i] + QLatin1Char(']');
                } else {
                    out += pattern[i];
                }
            }
            pattern = out;
        }
    }
    sqlite3_result_int(ctx, likeMatch(pattern, 0, text, 0) ? 1 : 0);
}

// SQL Server functions kept by name, for statements that reach the engine untranslated.
void fnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    QString s = argText(argv[0]);
    int end = static_cast<int>(s.size());
    while (end > 0 && s[end - 1] == QLatin1Char(' ')) --end;
    sqlite3_result_int(ctx, end);
}

void fnCharindex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    int start = argc > 2 ? sqlite3_value_int(argv[2]) : 1;
    if (start < 1) start = 1;
    const auto pos = argText(argv[1]).indexOf(argText(argv[0]), start - 1, Qt::CaseInsensitive);
    sqlite3_result_int(ctx, static_cast<int>(pos + 1));
}

// instr() is what CHARINDEX becomes; the server finds text without regard to case and finds
// nothing for an empty search.
void fnInstr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString needle = argText(argv[1]);
    if (needle.isEmpty()) return sqlite3_result_int(ctx, 0);
    sqlite3_result_int(
        ctx, static_cast<int>(argText(argv[0]).indexOf(needle, 0, Qt::CaseInsensitive) + 1));
}

// longitud(value, n): the value itself, or the failure of a text longer than n characters
// (trailing blanks do not count, as the server cuts them without complaint).
void fnLongitud(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const sqlite3_int64 limit = sqlite3_value_int64(argv[1]);
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL && limit > 0) {
        const auto* p = reinterpret_cast<const unsigned char*>(sqlite3_value_text(argv[0]));
        int bytes = sqlite3_value_bytes(argv[0]);
        while (bytes > 0 && p[bytes - 1] == ' ') --bytes;
        sqlite3_int64 chars = 0;
        for (int i = 0; i < bytes; ++i)
            if ((p[i] & 0xC0) != 0x80) ++chars;
        if (chars > limit) {
            sqlite3_result_error(ctx, kTooLong, -1);
            return;
        }
    }
    sqlite3_result_value(ctx, argv[0]);
}

void fnGetdate(sqlite3_context* ctx, int, sqlite3_value**) {
    resultText(ctx, QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// ---- errors ----

Error record(qint32 number, const QString& description, const QString& state, qint32 nativeErr) {
    return Error{number, description, kSource, state, nativeErr};
}

// The server's records for a text longer than its column.
EngineError tooLong() {
    return EngineError(
        {record(code::Truncated, QStringLiteral("Los datos de cadena o binarios se truncarían."),
                QStringLiteral("22001"), native::StringTruncation),
         record(code::Constraint, QStringLiteral("Se terminó la instrucción."),
                QStringLiteral("01000"), native::StatementTerminated)});
}

QString afterColon(const QString& msg) {
    const int c = static_cast<int>(msg.indexOf(QLatin1Char(':')));
    return c < 0 ? msg : msg.mid(c + 1).trimmed();
}

[[noreturn]] void fail(sqlite3* db, int rc) {
    const int ext = db ? sqlite3_extended_errcode(db) : rc;
    const QString msg =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const Error terminated = record(code::Constraint, QStringLiteral("Se terminó la instrucción."),
                                    QStringLiteral("01000"), native::StatementTerminated);
    if (msg == QLatin1String(kTooLong)) throw tooLong();
    switch (ext) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE:
            throw EngineError(
                {record(code::Constraint,
                        QStringLiteral("Infracción de la restricción PRIMARY KEY o UNIQUE. "
                                       "No se puede insertar una clave duplicada (%1).")
                            .arg(afterColon(msg)),
                        QStringLiteral("23000"), native::DuplicateKey),
                 terminated});
        case SQLITE_CONSTRAINT_FOREIGNKEY:
        case SQLITE_CONSTRAINT_CHECK:
            throw EngineError({record(code::Constraint,
                                      QStringLiteral("La instrucción entró en conflicto con una "
                                                     "restricción FOREIGN KEY o CHECK (%1).")
                                          .arg(afterColon(msg)),
                                      QStringLiteral("23000"), native::ForeignKeyOrCheck),
                               terminated});
        case SQLITE_CONSTRAINT_NOTNULL:
            throw EngineError(
                {record(code::Constraint,
                        QStringLiteral("No se puede insertar el valor NULL en la columna "
                                       "'%1'; la columna no admite valores NULL.")
                            .arg(afterColon(msg)),
                        QStringLiteral("23000"), native::NotNull),
                 terminated});
        default:
            break;
    }
    switch (rc & 0xFF) {
        case SQLITE_CONSTRAINT:
            throw EngineError(
                {record(code::Constraint, msg, QStringLiteral("23000"), native::ForeignKeyOrCheck),
                 terminated});
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw EngineError(
                record(code::Timeout,
                       QStringLiteral("Se agotó el tiempo de espera: la base de datos está "
                                      "ocupada por otro usuario."),
                       QStringLiteral("HYT00"), 0));
        case SQLITE_MISMATCH:
            throw EngineError(record(code::ConversionFailed,
                                     QStringLiteral("Error al convertir un valor: %1").arg(msg),
                                     QStringLiteral("22018"), 245));
        // A full disk and a memory refusal are what they are: never the number of a lost
        // connection, on which the data-access class connects again.
        case SQLITE_FULL:
            throw EngineError(record(code::ErrorsOccurred,
                                     QStringLiteral("No se pudo escribir en la base de datos: el "
                                                    "disco está lleno (%1).")
                                         .arg(msg),
                                     QStringLiteral("HY000"), 0));
        case SQLITE_NOMEM:
            throw EngineError(record(platform::errnum::OutOfMemory,
                                     QStringLiteral("Memoria insuficiente (%1).").arg(msg),
                                     QStringLiteral("HY001"), 0));
        case SQLITE_CANTOPEN:
        case SQLITE_NOTADB:
        case SQLITE_IOERR:
        case SQLITE_CORRUPT:
        case SQLITE_READONLY:
        case SQLITE_PERM:
            throw EngineError(record(code::EFail,
                                     QStringLiteral("Error de la base de datos: %1").arg(msg),
                                     QStringLiteral("08S01"), 0));
        default:
            break;
    }
    if (msg.startsWith(QLatin1String("no such table"))) {
        throw EngineError(
            record(code::ObjectNotFound,
                   QStringLiteral("El nombre de objeto '%1' no es válido.").arg(afterColon(msg)),
                   QStringLiteral("42S02"), native::InvalidObject));
    }
    if (msg.startsWith(QLatin1String("no such column"))) {
        throw EngineError(
            record(code::CommandText,
                   QStringLiteral("El nombre de columna '%1' no es válido.").arg(afterColon(msg)),
                   QStringLiteral("42S22"), native::InvalidColumn));
    }
    if (msg.contains(QLatin1String("syntax error")) ||
        msg.startsWith(QLatin1String("incomplete input")) ||
        msg.startsWith(QLatin1String("unrecognized token"))) {
        throw EngineError(record(code::CommandText,
                                 QStringLiteral("Sintaxis incorrecta: %1").arg(msg),
                                 QStringLiteral("42000"), native::Syntax));
    }
    throw EngineError(record(code::CommandText, msg, QStringLiteral("42000"), 0));
}

// Why a file that exists could not be opened as a database, in the user's words.
QString openFailure(sqlite3* db, const QString& path) {
    switch (sqlite3_extended_errcode(db) & 0xFF) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return QStringLiteral("El archivo '%1' no es una base de datos válida.").arg(path);
        case SQLITE_FULL:
            return QStringLiteral("No se puede abrir la base de datos '%1': el disco está lleno.")
                .arg(path);
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return QStringLiteral(
                       "No se puede abrir la base de datos '%1': no se puede escribir "
                       "en el archivo o en su carpeta (solo lectura o sin permiso).")
                .arg(path);
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                       "No se puede abrir la base de datos '%1': está ocupada por otro "
                       "usuario.")
                .arg(path);
        default:
            return QStringLiteral("No se puede abrir la base de datos '%1': %2")
                .arg(path, QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

// The file is looked at before the engine opens it, without opening it (the process may hold it
// open through another connection): what is not a regular file, or cannot be read, is named for
// what it is; a missing or empty file is no database (opening it would silently make it one).
void checkDatabaseFile(const QString& path, bool localFile) {
    const platform::ErrorInfo refused =
        platform::archivo::examina(path, platform::limite::kNinguno);
    const qint64 size = refused.number == 0 ? QFileInfo(path).size() : 0;
    const QString name = QFileInfo(path).completeBaseName();
    const bool missing = refused.number == platform::errnum::FileNotFound ||
                         refused.number == platform::errnum::PathNotFound ||
                         (refused.number == 0 && size == 0);
    if (missing && localFile) {
        throw EngineError(record(code::EFail,
                                 QStringLiteral("No se pudo encontrar el archivo '%1'.").arg(path),
                                 QStringLiteral("3024"), -534971980));
    }
    if (missing) {
        throw EngineError(
            record(code::EFail,
                   QStringLiteral("No se puede abrir la base de datos \"%1\" solicitada por "
                                  "el inicio de sesión: el archivo no existe.")
                       .arg(name + QStringLiteral(" (") + path + QLatin1Char(')')),
                   QStringLiteral("42000"), native::CannotOpenDatabase));
    }
    if (refused.number == 0) return;
    if (localFile) {
        throw EngineError(
            record(code::EFail,
                   QStringLiteral("No se pudo abrir el archivo: %1.").arg(refused.description),
                   QStringLiteral("3051"), 0));
    }
    throw EngineError(
        record(code::EFail,
               QStringLiteral("No se puede abrir la base de datos \"%1\" solicitada por el inicio "
                              "de sesión: %2.")
                   .arg(name, refused.description),
               QStringLiteral("42000"), native::CannotOpenDatabase));
}

// ---- column types ----

ColumnInfo columnInfo(const QString& name, const QString& declared, int storageClass) {
    ColumnInfo c;
    c.name = name;
    const QString d = declared.trimmed().toUpper();
    static const QRegularExpression lenRe(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = lenRe.match(d);
    const qint64 len = m.hasMatch() ? m.captured(1).toLongLong() : 0;
    auto set = [&](int type, qint64 size) {
        c.type = type;
        c.definedSize = size;
    };
    if (d.isEmpty()) {
        switch (storageClass) {
            case SQLITE_INTEGER:
                set(adtype::Integer, 4);
                break;
            case SQLITE_FLOAT:
                set(adtype::Double, 8);
                break;
            default:
                set(adtype::VarWChar, 4000);
        }
    } else if (d.startsWith(QLatin1String("BIGINT")))
        set(adtype::BigInt, 8);
    else if (d.startsWith(QLatin1String("SMALLINT")))
        set(adtype::SmallInt, 2);
    else if (d.startsWith(QLatin1String("TINYINT")))
        set(adtype::UnsignedTinyInt, 1);
    else if (d.startsWith(QLatin1String("BIT")) || d.startsWith(QLatin1String("BOOL")))
        set(adtype::Boolean, 2);
    else if (d.contains(QLatin1String("INT")))
        set(adtype::Integer, 4);
    else if (d.startsWith(QLatin1String("MONEY")) || d.startsWith(QLatin1String("SMALLMONEY")))
        set(adtype::Currency, 8);
    else if (d.startsWith(QLatin1String("DECIMAL")) || d.startsWith(QLatin1String("NUMERIC")))
        set(adtype::Numeric, 19);
    else if (d.startsWith(QLatin1String("REAL")))
        set(adtype::Single, 4);
    else if (d.startsWith(QLatin1String("FLOAT")) || d.startsWith(QLatin1String("DOUBLE")))
        set(adtype::Double, 8);
    else if (d.startsWith(QLatin1String("DATETIME")) ||
             d.startsWith(QLatin1String("SMALLDATETIME")) ||
             d.startsWith(QLatin1String("TIMESTAMP")))
        set(adtype::DBTimeStamp, 16);
    else if (d.startsWith(QLatin1String("DATE")))
        set(adtype::DBDate, 6);
    else if (d.startsWith(QLatin1String("TIME")))
        set(adtype::DBTime, 6);
    else if (d.startsWith(QLatin1String("NVARCHAR")))
        set(adtype::VarWChar, len ? len : 1073741823);
    else if (d.startsWith(QLatin1String("NCHAR")))
        set(adtype::WChar, len ? len : 1);
    else if (d.startsWith(QLatin1String("VARCHAR")))
        set(adtype::VarChar, len ? len : 2147483647);
    else if (d.startsWith(QLatin1String("CHAR")))
        set(adtype::Char, len ? len : 1);
    else if (d.startsWith(QLatin1String("NTEXT")))
        set(adtype::LongVarWChar, 1073741823);
    else if (d.startsWith(QLatin1String("TEXT")) || d.contains(QLatin1String("CLOB")))
        set(adtype::LongVarChar, 2147483647);
    else if (d.contains(QLatin1String("BLOB")) || d.contains(QLatin1String("BINARY")))
        set(adtype::LongVarBinary, 2147483647);
    else if (d.contains(QLatin1String("CHAR")))
        set(adtype::VarChar, len ? len : 2147483647);
    else
        set(adtype::VarWChar, 4000);
    return c;
}

bool isDateType(int t) {
    return t == adtype::DBTimeStamp || t == adtype::DBDate || t == adtype::DBTime ||
           t == adtype::Date;
}

Variant readValue(sqlite3_stmt* st, int i, int type) {
    const int sc = sqlite3_column_type(st, i);
    if (sc == SQLITE_NULL) return Variant::null();
    if (type == adtype::Boolean) return Variant(sqlite3_column_int64(st, i) != 0);
    if (isDateType(type) && sc == SQLITE_TEXT) {
        const QString t = QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
        QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
        if (!dt.isValid()) dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (dt.isValid()) return Variant(dt);
        // Dates the suite's programs wrote as short-date text ("dd/mm/yy hh:mm").
        if (const auto regional = platform::Regional::current().parseDate(t))
            return Variant(*regional);
        return Variant(t);
    }
    switch (sc) {
        case SQLITE_INTEGER:
            return Variant(static_cast<qint64>(sqlite3_column_int64(st, i)));
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(st, i));
        case SQLITE_BLOB:
            return Variant(QString::fromLatin1(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                               sqlite3_column_bytes(st, i)));
        default:
            return Variant(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                  sqlite3_column_bytes(st, i)));
    }
}

constexpr int kStoredDateSize = 24;

// A date as it is stored: "yyyy-MM-dd", and " hh:mm:ss" when it is not midnight. Rows are
// written by the hundred thousand: the calendar day is worked out from the day number and the
// digits are put in place, rather than asked of the calendar field by field and printed.
int storedDate(const QDateTime& d, char (&buf)[kStoredDateSize]) {
    const QDate date = d.date();
    const QTime time = d.time();
    // Days from 1 March of year 0 of the proleptic Gregorian calendar, the one QDate keeps.
    const qint64 z = date.toJulianDay() - 1721120;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const qint64 year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    const int ms = time.msecsSinceStartOfDay();
    const bool midnight = ms == 0;
    if (!d.isValid() || year < 1 || year > 9999) {
        const QDate day0 = d.date();
        return midnight ? std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", day0.year(),
                                        day0.month(), day0.day())
                        : std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d",
                                        day0.year(), day0.month(), day0.day(), time.hour(),
                                        time.minute(), time.second());
    }
    auto two = [](char* at, int n) {
        at[0] = static_cast<char>('0' + n / 10);
        at[1] = static_cast<char>('0' + n % 10);
    };
    const int y = static_cast<int>(year);
    two(buf, y / 100);
    two(buf + 2, y % 100);
    buf[4] = '-';
    two(buf + 5, month);
    buf[7] = '-';
    two(buf + 8, day);
    if (midnight) {
        buf[10] = '\0';
        return 10;
    }
    const int seconds = ms / 1000;
    buf[10] = ' ';
    two(buf + 11, seconds / 3600);
    buf[13] = ':';
    two(buf + 14, seconds / 60 % 60);
    buf[16] = ':';
    two(buf + 17, seconds % 60);
    buf[19] = '\0';
    return 19;
}

void bindValue(sqlite3* db, sqlite3_stmt* st, int index, const Variant& v) {
    int rc = SQLITE_OK;
    switch (v.kind()) {
        case Variant::Kind::Empty:
        case Variant::Kind::Null:
            rc = sqlite3_bind_null(st, index);
            break;
        case Variant::Kind::Number: {
            const double n = v.number();
            if (n == static_cast<double>(static_cast<qint64>(n)))
                rc = sqlite3_bind_int64(st, index, static_cast<qint64>(n));
            else
                rc = sqlite3_bind_double(st, index, n);
            break;
        }
        case Variant::Kind::Boolean:
            rc = sqlite3_bind_int(st, index, v.boolean() ? 1 : 0);
            break;
        case Variant::Kind::Date: {
            char buf[kStoredDateSize];
            const int n = storedDate(v.date(), buf);
            rc = sqlite3_bind_text(st, index, buf, n, SQLITE_TRANSIENT);
            break;
        }
        case Variant::Kind::Text: {
            const QByteArray u = v.text().toUtf8();
            rc = sqlite3_bind_text(st, index, u.constData(), static_cast<int>(u.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
    }
    if (rc != SQLITE_OK) fail(db, rc);
}

// A statement being stepped; its first step has already been taken.
class SqliteCursor : public Cursor {
  public:
    SqliteCursor(std::shared_ptr<SqliteEngine::Handle> h, SqliteStatement st, int firstRc)
        : h_(std::move(h)), st_(std::move(st)), rc_(firstRc) {
        h_->readers.push_back(this);
        const int n = sqlite3_column_count(st_.get());
        static const QRegularExpression isoDate(
            QStringLiteral("^\\d{4}-\\d{2}-\\d{2}( \\d{2}:\\d{2}:\\d{2})?$"));
        for (int i = 0; i < n; ++i) {
            const char* decl = sqlite3_column_decltype(st_.get(), i);
            const int storage = rc_ == SQLITE_ROW ? sqlite3_column_type(st_.get(), i) : SQLITE_TEXT;
            ColumnInfo info = columnInfo(QString::fromUtf8(sqlite3_column_name(st_.get(), i)),
                                         decl ? QString::fromUtf8(decl) : QString(), storage);
            // An expression over dates (MAX(fecha)) has no declared type; its ISO text is a date,
            // as the server would type it.
            if (!decl && storage == SQLITE_TEXT && rc_ == SQLITE_ROW &&
                isoDate
                    .match(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(st_.get(), i))))
                    .hasMatch()) {
                info.type = adtype::DBTimeStamp;
                info.definedSize = 16;
            }
            columns_.push_back(info);
        }
    }
    ~SqliteCursor() override { forget(); }
    SqliteCursor(const SqliteCursor&) = delete;
    SqliteCursor& operator=(const SqliteCursor&) = delete;

    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next(std::vector<Variant>& row) override {
        if (detached_) {
            if (held_.empty()) return false;
            row = std::move(held_.front());
            held_.pop_front();
            return true;
        }
        if (!st_) return false;
        if (pending_) {
            rc_ = sqlite3_step(st_.get());
        }
        pending_ = true;
        if (rc_ == SQLITE_DONE) {
            finish();
            return false;
        }
        if (rc_ != SQLITE_ROW) {
            const int rc = rc_;
            sqlite3* db = h_->db;
            finish();
            fail(db, rc);
        }
        row.resize(columns_.size());
        for (std::size_t i = 0; i < columns_.size(); ++i)
            row[i] = readValue(st_.get(), static_cast<int>(i), columns_[i].type);
        return true;
    }

    // Reads the rest of the rows into memory and ends the statement, so that the connection
    // holds no read snapshot; the rows are then handed out as before.
    void detach() {
        std::deque<std::vector<Variant>> rest;
        std::vector<Variant> row;
        while (next(row)) rest.push_back(row);
        held_ = std::move(rest);
        detached_ = true;
        finish();
    }

  private:
    void finish() {
        st_.reset();
        forget();
    }
    void forget() {
        auto& r = h_->readers;
        r.erase(std::remove(r.begin(), r.end(), this), r.end());
    }

    std::shared_ptr<SqliteEngine::Handle> h_;
    SqliteStatement st_;
    int rc_;
    bool pending_ = false;
    bool detached_ = false;
    std::deque<std::vector<Variant>> held_;
    std::vector<ColumnInfo> columns_;
};

// Whether stepping the statement may need the write lock: a change, or a BEGIN (which takes it
// at once, being IMMEDIATE).
bool takesWriteLock(sqlite3_stmt* st) {
    if (!sqlite3_stmt_readonly(st)) return true;
    const char* sql = sqlite3_sql(st);
    while (sql && std::isspace(static_cast<unsigned char>(*sql))) ++sql;
    return sql && sqlite3_strnicmp(sql, "BEGIN", 5) == 0;
}

bool changesSchema(sqlite3_stmt* st) {
    const char* sql = sqlite3_sql(st);
    while (sql && std::isspace(static_cast<unsigned char>(*sql))) ++sql;
    if (!sql) return false;
    for (const char* verb : {"CREATE", "ALTER", "DROP"})
        if (sqlite3_strnicmp(sql, verb, static_cast<int>(std::strlen(verb))) == 0) return true;
    return false;
}

// A connection that still holds a read snapshot when it asks for the write lock is refused at
// once (waiting could not help it), so an open read is let go first and the write then waits
// for other users as long as the busy time-out allows. Inside a transaction the lock is
// already held.
void beforeStep(SqliteEngine::Handle& h, sqlite3_stmt* st) {
    if (!h.readers.empty() && sqlite3_get_autocommit(h.db) && takesWriteLock(st))
        h.releaseReaders();
}

SqliteStatement prepareOne(sqlite3* db, const QByteArray& sql, const char** tail) {
    sqlite3_stmt* st = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, tail);
    if (rc != SQLITE_OK) fail(db, rc);
    return SqliteStatement(st);
}

// How many characters a text counts as in a column: trailing blanks do not count.
qint64 storedLength(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char(' ')) --end;
    qint64 n = 0;
    for (qsizetype i = 0; i < end; ++i)
        if (!text[i].isLowSurrogate()) ++n;
    return n;
}

class SqlitePrepared : public Prepared {
  public:
    SqlitePrepared(std::shared_ptr<SqliteEngine::Handle> h, SqliteStatement st,
                   const sqlite_dialect::Translation& translation)
        : h_(std::move(h)),
          st_(std::move(st)),
          inPlace_(!sqlite3_stmt_readonly(st_.get())),
          dates_(translation.dateParameters) {
        const auto n =
            static_cast<std::size_t>(std::max(sqlite3_bind_parameter_count(st_.get()), 0));
        bound_.resize(n);
        // The parameters of an insert that fill the same column share what was converted last
        // for that column; any other parameter has a slot of its own.
        slotOf_.resize(n);
        std::map<QString, std::size_t> columns;
        for (std::size_t k = 0; k < n; ++k) {
            const QString column = k < translation.parameterColumns.size()
                                       ? translation.parameterColumns[k].toLower()
                                       : QString();
            slotOf_[k] =
                column.isEmpty() ? n + k : columns.emplace(column, columns.size()).first->second;
        }
        converted_.resize(2 * n);
        // The values an insert takes as lone parameters are checked here, as they are bound.
        if (translation.insertTable.isEmpty()) return;
        limits_.reserve(translation.parameterColumns.size());
        for (const QString& name : translation.parameterColumns)
            limits_.push_back(name.isEmpty() ? 0 : h_->lengthOf(translation.insertTable, name));
        over_.assign(limits_.size(), 0);
    }
    void bind(int index, const Variant& value) override {
        if (index >= 0 && static_cast<std::size_t>(index) < limits_.size()) {
            const auto k = static_cast<std::size_t>(index);
            over_[k] = limits_[k] > 0 && value.isText() && value.text().size() > limits_[k] &&
                       storedLength(value.text()) > limits_[k];
        }
        // A short-date text bound where a date column takes it is stored as a date.
        if (value.isText() && index >= 0 && static_cast<std::size_t>(index) < dates_.size() &&
            dates_[static_cast<std::size_t>(index)]) {
            if (const auto iso =
                    tsql::isoDate(value.text().trimmed(), platform::Regional::current())) {
                if (static_cast<std::size_t>(index) < bound_.size())
                    bound_[static_cast<std::size_t>(index)].held = Held::Other;
                bindValue(h_->db, st_.get(), index + 1, Variant(*iso));
                return;
            }
        }
        if (index >= 0 && static_cast<std::size_t>(index) < bound_.size()) {
            if (value.isText()) return bindText(index, value.text());
            if (value.isDate() && inPlace_) return bindDate(index, value.date());
            if (value.isNumber() && inPlace_) return bindNumber(index, value);
            bound_[static_cast<std::size_t>(index)].held = Held::Other;
        }
        bindValue(h_->db, st_.get(), index + 1, value);
    }
    ExecResult execute() override {
        countCall();
        sqlite3_stmt* st = st_.get();
        sqlite3_reset(st);
        beforeStep(*h_, st);
        const qint64 before = sqlite3_total_changes64(h_->db);
        // A bound value longer than its column fails the statement before it changes anything.
        if (std::find(over_.begin(), over_.end(), 1) != over_.end()) throw tooLong();
        int rc = sqlite3_step(st);
        ExecResult r;
        if (sqlite3_column_count(st) > 0 && sqlite3_stmt_readonly(st) &&
            (rc == SQLITE_ROW || rc == SQLITE_DONE)) {
            // A query's rows are read as the caller asks for them (a report reads millions); the
            // statement goes with its cursor and a fresh one takes the next execution.
            const QByteArray sql(sqlite3_sql(st));
            r.cursor = std::make_unique<SqliteCursor>(h_, std::move(st_), rc);
            st_ = prepareOne(h_->db, sql, nullptr);
            for (Bound& b : bound_) b.held = Held::Other;
            return r;
        }
        if (sqlite3_column_count(st) > 0 && (rc == SQLITE_ROW || rc == SQLITE_DONE)) {
            std::vector<std::vector<Variant>> rows;
            std::vector<ColumnInfo> cols;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const char* decl = sqlite3_column_decltype(st, i);
                cols.push_back(
                    columnInfo(QString::fromUtf8(sqlite3_column_name(st, i)),
                               decl ? QString::fromUtf8(decl) : QString(),
                               rc == SQLITE_ROW ? sqlite3_column_type(st, i) : SQLITE_TEXT));
            }
            while (rc == SQLITE_ROW) {
                std::vector<Variant> row(cols.size());
                for (std::size_t i = 0; i < cols.size(); ++i)
                    row[i] = readValue(st, static_cast<int>(i), cols[i].type);
                rows.push_back(std::move(row));
                rc = sqlite3_step(st);
            }
            r.cursor = std::make_unique<BufferedCursor>(std::move(cols), std::move(rows));
        }
        if (rc != SQLITE_DONE) {
            sqlite3_reset(st);
            fail(h_->db, rc);
        }
        if (!sqlite3_stmt_readonly(st)) r.affected = sqlite3_total_changes64(h_->db) - before;
        sqlite3_reset(st);
        return r;
    }

  private:
    // A text is converted to UTF-8 again only when it differs from the one converted last in
    // its slot: rows written one after another repeat their user, label and remarks, and
    // converting each of them again cost about as much as the engine's insert.
    void bindText(int index, const QString& text) {
        const auto k = static_cast<std::size_t>(index);
        int rc = SQLITE_OK;
        if (text.isEmpty()) {
            if (inPlace_ && bound_[k].held == Held::Empty) return;
            bound_[k].held = Held::Other;
            rc = sqlite3_bind_text(st_.get(), index + 1, "", 0, SQLITE_STATIC);
            if (rc == SQLITE_OK && inPlace_) bound_[k].held = Held::Empty;
        } else {
            Converted& c = converted_[slotOf_[k]];
            if (c.text != text) {
                c.utf8 = text.toUtf8();
                c.text = text;
            }
            const int size = static_cast<int>(c.utf8.size());
            if (inPlace_) {
                // The engine reads the bytes where they are until the parameter is bound
                // again: the parameter holds them that long. The same bytes still bound from
                // the last execution are not bound again.
                if (bound_[k].held == Held::Text &&
                    bound_[k].text.constData() == c.utf8.constData())
                    return;
                bound_[k].held = Held::Other;
                if (bound_[k].text.constData() != c.utf8.constData()) bound_[k].text = c.utf8;
                rc = sqlite3_bind_text(st_.get(), index + 1, bound_[k].text.constData(), size,
                                       SQLITE_STATIC);
                if (rc == SQLITE_OK) bound_[k].held = Held::Text;
            } else {
                rc = sqlite3_bind_text(st_.get(), index + 1, c.utf8.constData(), size,
                                       SQLITE_TRANSIENT);
            }
        }
        if (rc != SQLITE_OK) fail(h_->db, rc);
    }

    void bindDate(int index, const QDateTime& date) {
        Bound& b = bound_[static_cast<std::size_t>(index)];
        char text[kStoredDateSize];
        const int size = storedDate(date, text);
        if (b.held == Held::Date && b.size == size && std::memcmp(b.date, text, size) == 0) return;
        b.held = Held::Other;
        std::memcpy(b.date, text, sizeof text);
        b.size = size;
        const int rc = sqlite3_bind_text(st_.get(), index + 1, b.date, size, SQLITE_STATIC);
        if (rc != SQLITE_OK) fail(h_->db, rc);
        b.held = Held::Date;
    }

    // A number is bound by value: the same one still bound is not bound again.
    void bindNumber(int index, const Variant& value) {
        Bound& b = bound_[static_cast<std::size_t>(index)];
        const double n = value.number();
        if (b.held == Held::Number && b.number == n) return;
        b.held = Held::Other;
        bindValue(h_->db, st_.get(), index + 1, value);
        b.number = n;
        b.held = Held::Number;
    }

    struct Converted {
        QString text;
        QByteArray utf8;
    };
    // What a parameter of a statement that changes data is bound to, read in place by the
    // engine; a binding outlives each execution, so what a parameter still holds need not be
    // bound again: rows written one after another repeat most of their values.
    enum class Held { Other, Text, Empty, Date, Number };
    struct Bound {
        QByteArray text;
        char date[kStoredDateSize] = {};
        int size = 0;
        double number = 0;
        Held held = Held::Other;
    };
    std::shared_ptr<SqliteEngine::Handle> h_;
    // Outlives the statement, which may read it until it is finalised.
    std::vector<Bound> bound_;
    SqliteStatement st_;
    // A statement that changes data never leaves this object (a query's goes with its cursor):
    // only then may the engine read the values in place.
    bool inPlace_ = false;
    std::vector<bool> dates_;
    std::vector<qint64> limits_;        // per parameter, 0 for none
    std::vector<char> over_;            // per parameter: the bound value is too long
    std::vector<std::size_t> slotOf_;   // per parameter
    std::vector<Converted> converted_;  // per slot
};

bool isBlank(const char* p) {
    for (; *p; ++p)
        if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';') return false;
    return true;
}

// While a statement that may only read is prepared: reading tables and views and calling
// functions are allowed, anything else (a change, a PRAGMA, ATTACH, transaction control) makes
// the preparation fail. It catches what sqlite3_stmt_readonly lets through.
int onlyReading(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        default:
            return SQLITE_DENY;
    }
}

// The authorizer above for as long as the object lives.
class ReadingOnly {
  public:
    explicit ReadingOnly(sqlite3* db) : db_(db) {
        sqlite3_set_authorizer(db_, onlyReading, nullptr);
    }
    ~ReadingOnly() { sqlite3_set_authorizer(db_, nullptr, nullptr); }
    ReadingOnly(const ReadingOnly&) = delete;
    ReadingOnly& operator=(const ReadingOnly&) = delete;

  private:
    sqlite3* db_;
};

// Whether the text after a statement holds no other statement (blanks, ";" and comments only).
bool nothingFollows(sqlite3* db, const char* tail) {
    if (!tail || isBlank(tail)) return true;
    sqlite3_stmt* next = nullptr;
    const int rc = sqlite3_prepare_v2(db, tail, -1, &next, nullptr);
    const bool none = rc == SQLITE_OK && next == nullptr;
    sqlite3_finalize(next);
    return none;
}

}  // namespace

const std::vector<SqliteEngine::Handle::Column>& SqliteEngine::Handle::columnsOf(
    const QString& table) {
    const QString key = table.toLower();
    auto it = schema.find(key);
    if (it != schema.end()) return it->second;
    std::vector<Column> cols;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info(?1)", -1, &raw, nullptr) ==
        SQLITE_OK) {
        SqliteStatement st(raw);
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(st.get(), 1, name.constData(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        while (sqlite3_step(st.get()) == SQLITE_ROW) {
            const auto* n = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
            const auto* d = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1));
            const ColumnInfo ci = columnInfo(QString::fromUtf8(n ? n : ""),
                                             QString::fromUtf8(d ? d : ""), SQLITE_TEXT);
            const bool text = ci.type == adtype::VarChar || ci.type == adtype::VarWChar ||
                              ci.type == adtype::Char || ci.type == adtype::WChar;
            const bool declared = d && QString::fromUtf8(d).contains(QLatin1Char('('));
            cols.push_back({ci.name, isDateType(ci.type), text && declared ? ci.definedSize : 0});
        }
    }
    return schema.emplace(key, std::move(cols)).first->second;
}

qint64 SqliteEngine::Handle::lengthOf(const QString& table, const QString& column) {
    for (const Column& c : columnsOf(table))
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return c.length;
    return 0;
}

bool SqliteEngine::Handle::isDateColumn(const QString& table, const QString& column) {
    for (const Column& c : columnsOf(table))
        if (c.date && c.name.compare(column, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void SqliteEngine::Handle::releaseReaders() {
    // detach() removes the cursor from the list.
    while (!readers.empty()) readers.back()->detach();
}

void registerSqliteExtensions(sqlite3* db) {
    const int utf8 = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_collation(db, "CI", SQLITE_UTF8, nullptr, compareCi);
    sqlite3_create_function(db, "upper", 1, utf8, nullptr, fnUpper, nullptr, nullptr);
    sqlite3_create_function(db, "lower", 1, utf8, nullptr, fnLower, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, utf8, nullptr, fnLike, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, utf8, nullptr, fnLike, nullptr, nullptr);
    sqlite3_create_function(db, "len", 1, utf8, nullptr, fnLen, nullptr, nullptr);
    sqlite3_create_function(db, "charindex", 2, utf8, nullptr, fnCharindex, nullptr, nullptr);
    sqlite3_create_function(db, "charindex", 3, utf8, nullptr, fnCharindex, nullptr, nullptr);
    sqlite3_create_function(db, "instr", 2, utf8, nullptr, fnInstr, nullptr, nullptr);
    sqlite3_create_function(db, "getdate", 0, SQLITE_UTF8, nullptr, fnGetdate, nullptr, nullptr);
    sqlite3_create_function(db, "longitud", 2, utf8, nullptr, fnLongitud, nullptr, nullptr);
}

std::unique_ptr<SqliteEngine> SqliteEngine::open(const QString& path, bool localFile) {
    checkDatabaseFile(path, localFile);
    auto h = std::make_shared<Handle>();
    h->localFile = localFile;
    h->path = path;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &h->db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = h->db ? QString::fromUtf8(sqlite3_errmsg(h->db)) : QString();
        throw EngineError(
            record(code::EFail,
                   QStringLiteral("No se puede abrir la base de datos '%1': %2").arg(path, msg),
                   localFile ? QStringLiteral("3051") : QStringLiteral("08001"), 0));
    }
    sqlite3_extended_result_codes(h->db, 1);
    sqlite3_busy_timeout(h->db, 30000);
    registerSqliteExtensions(h->db);

    std::unique_ptr<SqliteEngine> e(new SqliteEngine(h));
    try {
        // Reading the catalogue tells a database from any other file.
        e->executeRaw(
            QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA foreign_keys=ON; "
                           "SELECT count(*) FROM sqlite_master;"));
    } catch (const EngineError&) {
        throw EngineError(record(code::EFail, openFailure(h->db, path),
                                 localFile ? QStringLiteral("3051") : QStringLiteral("08001"), 0));
    }
    return e;
}

void SqliteEngine::create(const QString& path) {
    if (QFileInfo::exists(path)) {
        throw EngineError(record(code::EFail,
                                 QStringLiteral("El archivo '%1' ya existe.").arg(path),
                                 QStringLiteral("HY000"), 0));
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close(db);
        throw EngineError(record(code::EFail,
                                 QStringLiteral("No se pudo crear '%1': %2").arg(path, msg),
                                 QStringLiteral("HY000"), 0));
    }
    sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void SqliteEngine::executeRaw(const QString& sql) {
    const QByteArray text = sql.toUtf8();
    const char* p = text.constData();
    const char* end = p + text.size();
    bool schema = false;
    while (p < end && !isBlank(p)) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        const int prc = sqlite3_prepare_v2(h_->db, p, static_cast<int>(end - p), &raw, &tail);
        if (prc != SQLITE_OK) fail(h_->db, prc);
        SqliteStatement st(raw);
        if (st) {
            beforeStep(*h_, st.get());
            schema = schema || changesSchema(st.get());
            int rc;
            while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE) {
                if (schema) schemaChanged();
                fail(h_->db, rc);
            }
        }
        p = tail ? tail : end;
    }
    if (schema) schemaChanged();
}

ExecResult SqliteEngine::execute(const QString& sql) {
    countCall();
    ExecResult result;
    const QStringList statements = tsql::splitBatch(sql);
    const auto& regional = platform::Regional::current();
    // Each statement is translated when it is about to run (and the next one, to know whether
    // this is the last), with the schema as it stands then.
    std::vector<std::optional<QByteArray>> texts(static_cast<std::size_t>(statements.size()));
    auto textOf = [&](qsizetype k) -> const QByteArray& {
        auto& t = texts[static_cast<std::size_t>(k)];
        if (!t)
            t = sqlite_dialect::translate(statements[k], regional, true, dateColumns(),
                                          columnLengths())
                    .trimmed()
                    .toUtf8();
        return *t;
    };
    auto nextToRun = [&](qsizetype from) {
        while (from < statements.size() && textOf(from).isEmpty()) ++from;
        return from;
    };
    for (qsizetype i = nextToRun(0); i < statements.size(); i = nextToRun(i + 1)) {
        const QByteArray full = textOf(i);
        const char* start = full.constData();
        const char* end = start + full.size();
        while (start < end && !isBlank(start)) {
            const char* tail = nullptr;
            sqlite3_stmt* raw = nullptr;
            const int prc =
                sqlite3_prepare_v2(h_->db, start, static_cast<int>(end - start), &raw, &tail);
            if (prc != SQLITE_OK) fail(h_->db, prc);
            SqliteStatement st(raw);
            const bool last = (!tail || isBlank(tail)) && nextToRun(i + 1) == statements.size();
            start = tail ? tail : end;
            if (!st) continue;
            beforeStep(*h_, st.get());
            const qint64 before = sqlite3_total_changes64(h_->db);
            const bool schema = changesSchema(st.get());
            const int rc = sqlite3_step(st.get());
            if (schema) {
                schemaChanged();
                // only the statements looked at ahead of this one were translated
                for (auto k = static_cast<std::size_t>(i) + 1; k < texts.size() && texts[k]; ++k)
                    texts[k].reset();
            }
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(h_->db, rc);
            const bool changes = !sqlite3_stmt_readonly(st.get());
            if (sqlite3_column_count(st.get()) > 0 && !result.cursor) {
                auto cursor = std::make_unique<SqliteCursor>(h_, std::move(st), rc);
                if (last) {
                    result.cursor = std::move(cursor);
                    return result;
                }
                result.cursor = bufferAll(*cursor);
                continue;
            }
            if (rc == SQLITE_ROW) {
                int r2;
                while ((r2 = sqlite3_step(st.get())) == SQLITE_ROW) {
                }
                if (r2 != SQLITE_DONE) fail(h_->db, r2);
            }
            if (changes) {
                const qint64 n = sqlite3_total_changes64(h_->db) - before;
                result.affected = (result.affected < 0 ? 0 : result.affected) + n;
            }
        }
    }
    return result;
}

std::unique_ptr<Prepared> SqliteEngine::prepare(const QString& sql) {
    auto translation = sqlite_dialect::translateStatement(sql, platform::Regional::current(), true,
                                                          dateColumns(), columnLengths());
    const QString t = translation.sql.trimmed();
    const char* tail = nullptr;
    const QByteArray u = t.toUtf8();
    SqliteStatement st = prepareOne(h_->db, u, &tail);
    if (!st) {
        throw EngineError(record(code::CommandText, QStringLiteral("La instrucción está vacía."),
                                 QStringLiteral("42000"), 0));
    }
    return std::make_unique<SqlitePrepared>(h_, std::move(st), translation);
}

std::unique_ptr<Cursor> SqliteEngine::read(const QString& sql) {
    countCall();
    const QStringList statements = tsql::splitBatch(sql);
    if (statements.size() != 1) throw EngineError(notReadOnly(kSource));
    const QByteArray text =
        sqlite_dialect::translate(statements.front(), platform::Regional::current(), true,
                                  dateColumns(), columnLengths())
            .trimmed()
            .toUtf8();
    // What SQLite makes of the statement decides, not its words: a change is known once it is
    // prepared, before it runs.
    SqliteStatement st;
    const char* tail = nullptr;
    {
        const ReadingOnly guard(h_->db);
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(h_->db, text.constData(), static_cast<int>(text.size()),
                                          &raw, &tail);
        st.reset(raw);
        if (rc == SQLITE_AUTH) throw EngineError(notReadOnly(kSource));
        if (rc != SQLITE_OK) fail(h_->db, rc);
    }
    if (!st || !sqlite3_stmt_readonly(st.get()) || sqlite3_column_count(st.get()) == 0 ||
        !nothingFollows(h_->db, tail))
        throw EngineError(notReadOnly(kSource));
    const int rc = sqlite3_step(st.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(h_->db, rc);
    return std::make_unique<SqliteCursor>(h_, std::move(st), rc);
}

std::function<std::vector<std::pair<QString, qint64>>(const QString&)> SqliteEngine::columnLengths()
    const {
    auto h = h_;
    return [h](const QString& table) {
        std::vector<std::pair<QString, qint64>> out;
        for (const auto& c : h->columnsOf(table)) out.emplace_back(c.name, c.length);
        return out;
    };
}

std::function<bool(const QString&, const QString&)> SqliteEngine::dateColumns() const {
    auto h = h_;
    return
        [h](const QString& table, const QString& column) { return h->isDateColumn(table, column); };
}

void SqliteEngine::schemaChanged() {
    h_->schema.clear();
}

void SqliteEngine::refreshStatistics(const QString& table) {
    // Without statistics the planner takes any index on an equality to be selective, and reads a
    // table one user owns through it row by row rather than straight through. A table with one
    // index on one column is counted; any other has its indexes read whole. A failure leaves
    // the old statistics, which only make a plan slower.
    if (!h_->readers.empty() && sqlite3_get_autocommit(h_->db)) h_->releaseReaders();
    if (IndexStatistics::write(h_->db, table.toUtf8())) return;
    try {
        executeRaw(QStringLiteral("ANALYZE %1;").arg(table));
    } catch (const EngineError&) {
    }
}

void SqliteEngine::failCallFromNow(int n, Injected kind) {
    injected().target = std::max(n, 0);
    injected().counted = 0;
    injected().memory = kind == Injected::Memory;
}

int SqliteEngine::callsCounted() {
    return injected().counted;
}

void SqliteEngine::begin() {
    countCall();
    executeRaw(QStringLiteral("BEGIN IMMEDIATE"));
}
void SqliteEngine::commit() {
    countCall();
    executeRaw(QStringLiteral("COMMIT"));
}
void SqliteEngine::rollback() {
    executeRaw(QStringLiteral("ROLLBACK"));
}
bool SqliteEngine::inTransaction() const {
    return sqlite3_get_autocommit(h_->db) == 0;
}

void SqliteEngine::setTimeout(int seconds) {
    // 0 means no limit, as a command time-out of 0 does.
    sqlite3_busy_timeout(h_->db, seconds <= 0 ? 24 * 3600 * 1000 : seconds * 1000);
}

QString SqliteEngine::source() const {
    return kSource;
}

std::unique_ptr<Cursor> SqliteEngine::tables() {
    const QByteArray sql =
        "SELECT NULL AS TABLE_CATALOG, NULL AS TABLE_SCHEMA, name AS TABLE_NAME, "
        "CASE type WHEN 'view' THEN 'VIEW' ELSE 'TABLE' END AS TABLE_TYPE FROM sqlite_master "
        "WHERE type IN ('table','view') AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name";
    SqliteStatement st = prepareOne(h_->db, sql, nullptr);
    const int rc = sqlite3_step(st.get());
    SqliteCursor c(h_, std::move(st), rc);
    return bufferAll(c);
}

std::unique_ptr<Cursor> SqliteEngine::columns(const QString& table) {
    std::vector<ColumnInfo> cols = {
        {QStringLiteral("TABLE_CATALOG"), adtype::VarWChar, 128},
        {QStringLiteral("TABLE_SCHEMA"), adtype::VarWChar, 128},
        {QStringLiteral("TABLE_NAME"), adtype::VarWChar, 128},
        {QStringLiteral("COLUMN_NAME"), adtype::VarWChar, 128},
        {QStringLiteral("ORDINAL_POSITION"), adtype::Integer, 4},
        {QStringLiteral("DATA_TYPE"), adtype::SmallInt, 2},
        {QStringLiteral("CHARACTER_MAXIMUM_LENGTH"), adtype::Integer, 4},
        {QStringLiteral("IS_NULLABLE"), adtype::Boolean, 2}};
    std::vector<std::vector<Variant>> rows;
    QStringList names;
    if (table.trimmed().isEmpty()) {
        auto t = tables();
        std::vector<Variant> r;
        while (t->next(r)) names << r[2].text();
    } else {
        names << table.trimmed();
    }
    for (const QString& name : names) {
        SqliteStatement st = prepareOne(
            h_->db, "SELECT cid, name, type, \"notnull\" FROM pragma_table_info(?1)", nullptr);
        bindValue(h_->db, st.get(), 1, Variant(name));
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            const QString colName =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
            const char* decl = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2));
            const ColumnInfo ci =
                columnInfo(colName, decl ? QString::fromUtf8(decl) : QString(), SQLITE_TEXT);
            const bool isText = ci.type == adtype::VarChar || ci.type == adtype::VarWChar ||
                                ci.type == adtype::Char || ci.type == adtype::WChar;
            rows.push_back({Variant::null(), Variant::null(), Variant(name), Variant(colName),
                            Variant(sqlite3_column_int(st.get(), 0) + 1), Variant(ci.type),
                            isText ? Variant(ci.definedSize) : Variant::null(),
                            Variant(sqlite3_column_int(st.get(), 3) == 0)});
        }
        if (rc != SQLITE_DONE) fail(h_->db, rc);
    }
    return std::make_unique<BufferedCursor>(std::move(cols), std::move(rows));
}

std::vector<QString> SqliteEngine::primaryKey(const QString& table) {
    std::vector<QString> keys;
    SqliteStatement st = prepareOne(
        h_->db, "SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk", nullptr);
    bindValue(h_->db, st.get(), 1, Variant(table.trimmed()));
    while (sqlite3_step(st.get()) == SQLITE_ROW)
        keys.push_back(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0))));
    return keys;
}

}  // namespace ado
