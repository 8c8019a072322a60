#include "reportengine/ReportTable.h"

#include "platform/Regional.h"

namespace reportengine {

using platform::Variant;
using Align = ReportTemplate::Align;

namespace {
double& budget() {
    static double values = ReportTable::kHeldValues;
    return values;
}
}  // namespace

double ReportTable::heldBudget() {
    return budget();
}

void ReportTable::setHeldBudget(double values) {
    budget() = values;
}

ReportTable::ReportTable(std::vector<ReportTemplate::Column> columns, std::vector<Row> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {
    for (const auto& c : columns_) aligns_.push_back(c.align);
    for (Row& r : rows_) {
        r.resize(columns_.size());
        settle(r);
    }
    rowCount_ = static_cast<int>(rows_.size());
}

ReportTable::ReportTable(std::vector<ReportTemplate::Column> columns,
                         std::shared_ptr<ListRows> rows)
    : columns_(std::move(columns)) {
    for (const auto& c : columns_) aligns_.push_back(c.align);
    const double width = std::max<double>(1, static_cast<double>(columns_.size()));
    bool keep = true;
    const auto cursor = rows->open();
    for (Row r; cursor->next(r); ++rowCount_) {
        r.resize(columns_.size());
        settle(r);
        if (!keep) continue;
        if (static_cast<double>(rows_.size() + 1) * width > heldBudget()) {
            keep = false;
            std::vector<Row>().swap(rows_);
        } else {
            rows_.push_back(r);
        }
    }
    if (!keep) source_ = std::move(rows);
}

void ReportTable::settle(const Row& row) {
    // A column's alignment is settled by its first value of a known kind.
    for (std::size_t c = 0; c < aligns_.size(); ++c) {
        if (aligns_[c] != Align::Auto) continue;
        const Variant& v = row[c];
        if (v.isNumber())
            aligns_[c] = Align::Right;
        else if (v.isDate())
            aligns_[c] = Align::Center;
        else if (v.isText() || v.isBoolean())
            aligns_[c] = Align::Left;
    }
}

bool ReportTable::forRows(int first, int count, const Visit& visit) const {
    const int end = std::min(rowCount_, first + count);
    first = std::max(first, 0);
    if (!source_) {
        for (int r = first; r < end; ++r)
            if (!visit(r, rows_[r])) return false;
        return true;
    }
    Reader& reader = *reader_;
    if (!reader.cursor || reader.next > first) {
        reader.cursor = source_->open();
        reader.next = 0;
    }
    // The table may have changed since it was counted: rows beyond the count are left out, and
    // rows missing at the end are not shown.
    Row row;
    while (reader.next < end && reader.cursor) {
        if (!reader.cursor->next(row)) {
            reader.cursor.reset();
            break;
        }
        row.resize(columns_.size());
        const int r = reader.next++;
        if (r >= first && !visit(r, row)) return false;
    }
    return true;
}

QString ReportTable::text(const Row& row, int c) const {
    const Variant& v = row[c];
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

}  // namespace reportengine
