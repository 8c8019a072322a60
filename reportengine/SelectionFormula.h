#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/Variant.h"

namespace reportengine {

// The columns a formula may name: those of the template's tables.
struct TableColumns {
    QString table;
    QStringList columns;
};

// A condition for a WHERE clause: values travel as parameters, one per "?" in order.
struct SqlCondition {
    QString sql;
    std::vector<platform::Variant> parameters;
};

// Turns a selection formula such as
//     uppercase({Aux_EstadisticaCta.USUARIO}) = 'PC01|JUAN' and not ({T.F} <> '')
// into a condition. The language: fields {Table.Field} (or {Field}, looked up in the tables in
// order), texts in single quotes ('' for a quote), numbers, uppercase() lowercase() trim() today(),
// comparisons = <> < > <= >=, and, or, not, parentheses. Keywords without regard to case.
class SelectionFormula {
  public:
    // An empty formula gives an empty condition. No value, and a Spanish explanation in `error`,
    // when the formula cannot be read or names a field that is not in `tables`.
    static std::optional<SqlCondition> translate(const QString& formula,
                                                 const std::vector<TableColumns>& tables,
                                                 QString* error);

    // A field reference "Table.Column" or "Column" as a statement names it, with the names as
    // the tables spell them; no value, and the reason in `error`, when no table has it.
    static std::optional<QString> column(const QString& reference,
                                         const std::vector<TableColumns>& tables, QString* error);
};

}  // namespace reportengine
