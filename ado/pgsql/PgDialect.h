#pragma once

#include <QString>
#include <QStringList>

#include "platform/Regional.h"

namespace ado {

// Translation of statements written in the SQL Server dialect (as ado/tsql reads them) into the
// PostgreSQL dialect.
//
// Texts compare as on the suite's servers, without case and trailing blanks: the schema's text
// columns are in the collation CI (created by collationStatement()), which ignores case; a
// column compared with a text literal is compared without its trailing blanks, and so is the
// literal. LIKE cannot run in a nondeterministic collation: it becomes ILIKE in a deterministic
// ICU collation.
namespace pg_dialect {

// Translates one statement. Transaction statements become PostgreSQL's; session settings it has
// no counterpart for (SET NOCOUNT) give an empty text. Every literal in the regional short date
// format (two- or four-digit year, optional time) becomes the ISO form, which the server reads
// whatever its date order.
QString translate(const QString& statement, const platform::Regional& regional);

// The statements of a batch, each translated; those that translate to nothing are left out.
QStringList translateBatch(const QString& batch, const platform::Regional& regional);

// Creates the collation the schema's text columns name: no case, accents kept.
QString collationStatement();

}  // namespace pg_dialect
}  // namespace ado
