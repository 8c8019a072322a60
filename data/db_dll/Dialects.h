#pragma once

// Text rewriting of statements by the data-access class: restricted views for users who are not
// administrators, and the Oracle dialect.

#include <QString>

#include "platform/Regional.h"

namespace dbdll {

// Redirects references to confidential tables to their restricted views (SS_ prefix) unless the
// user is an administrator; always removes the marker "@Admin_".
QString ssTSinonimos(const QString& sql, bool esAdmin, bool ssConfidencialidad,
                     const QString& programName);

// Translates a SQL Server statement into the Oracle dialect when `connString` names Oracle;
// otherwise gives it back unchanged. Raises the invalid-argument error (5) for a text with an odd
// number of single quotes.
QString oracleDicc(const QString& valor, const QString& connString,
                   const platform::Regional& regional);

// Empties statements that Oracle cannot run ("SET NOCOUNT", "IF NOT EXIST"); gives the result.
QString descartaSentenciaOracle(QString& sql);

// What the Oracle script runner needs of a connection.
class ScriptTarget {
  public:
    virtual ~ScriptTarget() = default;
    virtual void beginTrans() = 0;
    virtual void commitTrans() = 0;
    virtual void rollbackTrans() = 0;
    virtual qint64 execute(const QString& statement) = 0;  // rows affected
    virtual int errorCount() const = 0;
    virtual qint32 errorNumber(int index) const = 0;
    virtual void clearErrors() = 0;
};

// Runs a SQL Server script statement by statement on an Oracle connection. `script` is
// normalised and consumed from the front; the rows of each statement are added to
// `recordsAffected`. Failures reach the caller.
void ejecutaScriptOracle(QString& script, qint32& recordsAffected, ScriptTarget& target,
                         const QString& connString, const platform::Regional& regional);

// The small Oracle rewrite of the global module: "select top n * from T" becomes
// "select * from T WHERE ROWNUM <= n" when `connString` names Oracle.
QString adaptaSql(const QString& statement, const QString& connString);

}  // namespace dbdll
