#pragma once

#include <QString>
#include <QStringList>

#include "platform/Regional.h"

namespace ado {

// Translation of statements written in the SQL Server dialect into the SQLite dialect.
namespace sqlite_dialect {

// Splits a SQL Server batch into its statements (SQL Server needs no separator between them).
QStringList splitBatch(const QString& batch);

// Translates one statement. With addCollation, text columns created without an explicit
// collation get the engine's case-insensitive collation CI, as the server's default one is.
// Session settings SQLite has no counterpart for (SET NOCOUNT) give an empty text.
QString translate(const QString& statement, const platform::Regional& regional,
                  bool addCollation = false);

}  // namespace sqlite_dialect
}  // namespace ado
