#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "platform/Variant.h"
#include "reportengine/ReportTemplate.h"
#include "reportengine/SelectionFormula.h"

namespace reportengine {

// Where a report reads its rows: its own connection, opened from the data layer's connection
// string the program wrote its data through, or else from the connection text the suite hands
// over ("DSN=<name>; UID=<user>; PWD=<password>").
class ReportSource {
  public:
    // The embedded database "<program folder>/<DSN>.db" when that file exists; otherwise the
    // data source for the ODBC driver manager, its pairs without the suite's blanks (a text
    // without DSN as it stands).
    static QString connectionString(const QString& connectionText);

    // Opens `dataConnection` when there is one, the connection text otherwise; failures are
    // raised as the data layer raises them.
    explicit ReportSource(const QString& connectionText, const QString& dataConnection = {});
    ~ReportSource();
    ReportSource(const ReportSource&) = delete;
    ReportSource& operator=(const ReportSource&) = delete;

    // Another connection to the same database, for a read that runs at once with this one's.
    std::shared_ptr<ReportSource> another() const;

    // The columns of the template's table and of its joined tables, as the database names them.
    std::vector<TableColumns> tables(const ReportTemplate& t);

    // The statement for the fields (resolved column names) under a condition, in the template's
    // order; empty, with the reason in `error`, when the template names a missing column.
    static QString select(const ReportTemplate& t, const std::vector<TableColumns>& tables,
                          const QStringList& fields, const QString& condition, QString* error);

    // "FROM <table> LEFT JOIN ..." of the template; empty, with the reason in `error`, when a
    // join names a missing column.
    static QString fromClause(const ReportTemplate& t, const std::vector<TableColumns>& tables,
                              QString* error);

    // Runs a statement and gives its records one at a time, as they are read.
    std::shared_ptr<ado::Recordset> stream(const QString& statement,
                                           const std::vector<platform::Variant>& parameters);

  private:
    QString connectionText_;
    QString dataConnection_;
    ado::Connection connection_;
};

}  // namespace reportengine
