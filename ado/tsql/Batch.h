#pragma once

#include <QString>
#include <QStringList>

namespace ado::tsql {

// Splits a SQL Server batch into its statements (SQL Server needs no separator between them):
// at ";", at a GO alone on its line, and where a word begins a new statement outside
// parentheses.
QStringList splitBatch(const QString& batch);

}  // namespace ado::tsql
