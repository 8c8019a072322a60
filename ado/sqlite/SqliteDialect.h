#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Regional.h"

namespace ado {

// Translation of statements written in the SQL Server dialect (as ado/tsql reads them) into the
// SQLite dialect.
namespace sqlite_dialect {

// Whether a column of a table holds dates, as the database declares it.
using DateColumns = std::function<bool(const QString& table, const QString& column)>;
// The columns of a table in their order, each with its declared text length (0 when none).
using ColumnLengths = std::function<std::vector<std::pair<QString, qint64>>(const QString& table)>;

struct Translation {
    QString sql;
    // One entry per "?" of the statement, in order: true where the value meets a date column
    // (the caller turns a short-date text bound there into the stored form).
    std::vector<bool> dateParameters;
    // For an INSERT ... VALUES: the table, and the column each "?" fills when it stands alone
    // as a value (empty otherwise), in order, so that the caller can check what it binds.
    QString insertTable;
    std::vector<QString> parameterColumns;
};

// Translates one statement. With addCollation, text columns created without an explicit
// collation get the engine's case-insensitive collation CI, as the server's default one is.
// Session settings SQLite has no counterpart for (SET NOCOUNT) give an empty text.
// A literal in the regional short date format (two- or four-digit year, optional time) becomes
// the stored ISO form only where it meets a date: a value inserted into or assigned to a date
// column, a comparison, BETWEEN or IN with a date column, an argument of a date function.
// Everywhere else it stays as written. Without `dates` every such literal is taken as a date.
// With `lengths`, a value that INSERT or UPDATE writes into a text column of declared length n
// becomes longitud(value, n), a function of the engine that fails when the value is longer
// (a lone "?" of INSERT ... VALUES excepted: its column is in parameterColumns).
Translation translateStatement(const QString& statement, const platform::Regional& regional,
                               bool addCollation, const DateColumns& dates,
                               const ColumnLengths& lengths = {});
QString translate(const QString& statement, const platform::Regional& regional,
                  bool addCollation = false, const DateColumns& dates = {},
                  const ColumnLengths& lengths = {});

}  // namespace sqlite_dialect
}  // namespace ado
