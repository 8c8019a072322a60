#pragma once

#include <QString>
#include <QStringList>

#include "platform/Regional.h"

namespace ado {

// Translation of statements written in the SQL Server dialect into the SQLite dialect.
namespace sqlite_dialect {

// Splits a SQL Server batch into its statements (SQL Server needs no separator between them).
QStringList splitBatch(const QString& batch);

// Translates one statement.
QString translate(const QString& statement, const platform::Regional& regional);

}  // namespace sqlite_dialect
}  // namespace ado
