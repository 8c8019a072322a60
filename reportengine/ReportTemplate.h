#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace reportengine {

// What a report shows and where its rows come from, as read from one template file
// (reportes/<name>.xml; the format is described in reportes/README.md).
struct ReportTemplate {
    enum class Kind { Grid, List };
    enum class Align { Auto, Left, Center, Right };

    // Another table joined to the source: rows of the source keep their place when it has no
    // matching row.
    struct Join {
        QString table;
        QString field;    // column of the source table
        QString toField;  // column of the joined table
    };

    // A column of a list; `field` is "Column" (source table) or "Table.Column".
    struct Column {
        QString field;
        QString heading;
        double width = 10;  // relative to the other columns
        Align align = Align::Auto;
        int decimals = -1;   // numbers: fixed decimals; -1 as many as the value has
        QString dateFormat;  // dates: pattern; empty for dd/MM/yyyy
    };

    // The columns of the source that make up a schedule grid.
    struct Grid {
        QString label;   // row label
        QString from;    // start of the period
        QString to;      // end of the period
        QString count;   // value of the cell
        QString daily;   // 0 marks a single-day period (optional)
        QString detail;  // observation of the cell (optional)
        bool showDetail = false;
        QString labelHeading;
    };

    // No value, and the reason in `error`, when the text is not a usable template.
    static std::optional<ReportTemplate> fromXml(const QByteArray& xml, QString* error);
    // The same for a template file, read through platform/ArchivoLegible (at most
    // platform::limite::kFormatos): `error` then names the file and what it is.
    static std::optional<ReportTemplate> load(const QString& path, QString* error);

    Kind kind = Kind::List;
    bool landscape = false;
    QString table;
    std::vector<Join> joins;
    QStringList order;  // field references, ascending
    QString filter;     // a selection formula applied on top of the caller's
    QString title;      // shown when no formula sets the title field
    QString titleField = QStringLiteral("NOMBREREP");
    QString companyField = QStringLiteral("empresa");
    QString parametersField = QStringLiteral("Parametros");
    Grid grid;
    std::vector<Column> columns;
};

}  // namespace reportengine
