#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Regional.h"

namespace ado {

// Translation of statements written in the SQL Server dialect into the SQLite dialect.
namespace sqlite_dialect {

// Splits a SQL Server batch into its statements (SQL Server needs no separator between them).
QStringList splitBatch(const QString& batch);

// Whether a column of a table holds dates, as the database declares it.
using DateColumns = std::function<bool(const QString& table, const QString& column)>;

struct Translation {
    QString sql;
    // One entry per "?" of the statement, in order: true where the value meets a date column
    // (the caller turns a short-date text bound there into the stored form).
    std::vector<bool> dateParameters;
};

// Translates one statement. With addCollation, text columns created without an explicit
// collation get the engine's case-insensitive collation CI, as the server's default one is.
// Session settings SQLite has no counterpart for (SET NOCOUNT) give an empty text.
// A literal in the regional short date format (two- or four-digit year, optional time) becomes
// the stored ISO form only where it meets a date: a value inserted into or assigned to a date
// column, a comparison, BETWEEN or IN with a date column, an argument of a date function.
// Everywhere else it stays as written. Without `dates` every such literal is taken as a date.
Translation translateStatement(const QString& statement, const platform::Regional& regional,
                               bool addCollation, const DateColumns& dates);
QString translate(const QString& statement, const platform::Regional& regional,
                  bool addCollation = false, const DateColumns& dates = {});

// The stored form of a short-date text ("2026-03-15" or "2026-03-15 14:07:00"); no value when
// the text is not one.
std::optional<QString> isoDate(const QString& text, const platform::Regional& regional);

}  // namespace sqlite_dialect
}  // namespace ado
