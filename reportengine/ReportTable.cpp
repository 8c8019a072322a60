#include "reportengine/ReportTable.h"

#include "platform/Regional.h"

namespace reportengine {

using platform::Variant;

ReportTable::ReportTable(std::vector<ReportTemplate::Column> columns,
                         std::vector<std::vector<Variant>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {}

QString ReportTable::text(int row, int c) const {
    const Variant& v = rows_[row][c];
    const auto& column = columns_[c];
    switch (v.kind()) {
        case Variant::Kind::Empty:
        case Variant::Kind::Null:
            return {};
        case Variant::Kind::Date:
            return v.date().date().toString(
                column.dateFormat.isEmpty() ? QStringLiteral("dd/MM/yyyy") : column.dateFormat);
        case Variant::Kind::Number:
            if (column.decimals >= 0) {
                QString s = QString::number(v.number(), 'f', column.decimals);
                s.replace(QLatin1Char('.'), platform::Regional::current().decimalSeparator);
                return s;
            }
            return v.toText();
        case Variant::Kind::Boolean:
            return v.boolean() ? QStringLiteral("Sí") : QStringLiteral("No");
        case Variant::Kind::Text:
            return v.text().trimmed();
    }
    return {};
}

ReportTemplate::Align ReportTable::align(int c) const {
    if (columns_[c].align != ReportTemplate::Align::Auto) return columns_[c].align;
    for (const auto& row : rows_) {
        if (row[c].isNumber()) return ReportTemplate::Align::Right;
        if (row[c].isDate()) return ReportTemplate::Align::Center;
        if (row[c].isText() || row[c].isBoolean()) return ReportTemplate::Align::Left;
    }
    return ReportTemplate::Align::Left;
}

}  // namespace reportengine
