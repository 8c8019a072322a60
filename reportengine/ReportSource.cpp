#include "reportengine/ReportSource.h"

#include <QFileInfo>
#include <algorithm>

#include "ado/Command.h"
#include "ado/ConnectionString.h"
#include "ado/Recordset.h"

namespace reportengine {

QString ReportSource::connectionString(const QString& connectionText) {
    ado::KeyValues kv;
    if (!ado::parseConnectionString(connectionText, &kv)) return connectionText;
    const QString dsn = ado::valueOf(kv, {"DSN"}).trimmed();
    if (dsn.isEmpty()) return connectionText;
    if (!QFileInfo(ado::sqliteFileFor(dsn)).isFile()) {
        // The suite writes a blank after each ";", which the driver manager would take as part
        // of the next key: "; UID=demo" would lose the user. Each pair goes as it was read.
        QString text;
        for (const auto& [key, value] : kv) {
            const bool braces = value.contains(QLatin1Char(';')) || value != value.trimmed() ||
                                value.startsWith(QLatin1Char('{'));
            text +=
                key + QLatin1Char('=') +
                (braces ? QLatin1Char('{') +
                              QString(value).replace(QStringLiteral("}"), QStringLiteral("}}")) +
                              QLatin1Char('}')
                        : value) +
                QLatin1Char(';');
        }
        return text;
    }
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;UId=%2;Pwd=%3;")
        .arg(dsn, ado::valueOf(kv, {"UID", "User Id"}).trimmed(),
             ado::valueOf(kv, {"PWD", "Password"}).trimmed());
}

ReportSource::ReportSource(const QString& connectionText, const QString& dataConnection)
    : connectionText_(connectionText), dataConnection_(dataConnection) {
    connection_.open(dataConnection.isEmpty() ? connectionString(connectionText) : dataConnection);
}

std::shared_ptr<ReportSource> ReportSource::another() const {
    return std::make_shared<ReportSource>(connectionText_, dataConnection_);
}

ReportSource::~ReportSource() {
    try {
        if (connection_.state() == ado::adstate::Open) connection_.close();
    } catch (...) {
        // The connection goes away with this object either way.
    }
}

std::vector<TableColumns> ReportSource::tables(const ReportTemplate& t) {
    QStringList names{t.table};
    for (const auto& j : t.joins) names << j.table;
    std::vector<TableColumns> out;
    for (const QString& name : names) {
        // The template's names are plain identifiers (checked when it was read).
        auto rs = connection_.execute(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(name));
        TableColumns tc{name, {}};
        for (int i = 0; i < rs->fieldCount(); ++i) tc.columns << rs->field(i).name();
        out.push_back(tc);
    }
    return out;
}

QString ReportSource::fromClause(const ReportTemplate& t, const std::vector<TableColumns>& tables,
                                 QString* error) {
    QString sql = QStringLiteral("FROM ") + t.table;
    for (const auto& j : t.joins) {
        const auto joined = std::find_if(tables.begin(), tables.end(), [&](const TableColumns& tc) {
            return tc.table == j.table;
        });
        const auto from = SelectionFormula::column(j.field, {tables.front()}, error);
        if (!from) return {};
        const auto to = SelectionFormula::column(j.toField, {*joined}, error);
        if (!to) return {};
        sql += QStringLiteral(" LEFT JOIN %1 ON %2 = %3").arg(j.table, *from, *to);
    }
    return sql;
}

QString ReportSource::select(const ReportTemplate& t, const std::vector<TableColumns>& tables,
                             const QStringList& fields, const QString& condition, QString* error) {
    QStringList columns;
    for (const QString& f : fields) {
        const auto c = SelectionFormula::column(f, tables, error);
        if (!c) return {};
        columns << *c;
    }
    const QString from = fromClause(t, tables, error);
    if (from.isEmpty()) return {};
    QString sql = QStringLiteral("SELECT %1 %2").arg(columns.join(QStringLiteral(", ")), from);
    if (!condition.isEmpty()) sql += QStringLiteral(" WHERE ") + condition;
    QStringList order;
    for (const QString& o : t.order) {
        const auto c = SelectionFormula::column(o, tables, error);
        if (!c) return {};
        order << *c;
    }
    if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    return sql;
}

std::shared_ptr<ado::Recordset> ReportSource::stream(
    const QString& statement, const std::vector<platform::Variant>& parameters) {
    ado::Command command;
    command.setActiveConnection(connection_);
    command.setCommandText(statement);
    std::shared_ptr<ado::Recordset> rs;
    command.execute(parameters, &rs);
    return rs;
}

}  // namespace reportengine
