#pragma once

#include <QString>
#include <vector>

#include "platform/Variant.h"
#include "reportengine/ReportTemplate.h"

namespace reportengine {

// The rows of a list report with the template's columns, and their values as the list shows them.
class ReportTable {
  public:
    ReportTable() = default;
    ReportTable(std::vector<ReportTemplate::Column> columns,
                std::vector<std::vector<platform::Variant>> rows);

    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const ReportTemplate::Column& column(int c) const { return columns_[c]; }
    const platform::Variant& value(int row, int c) const { return rows_[row][c]; }
    // Dates in the column's pattern (dd/MM/yyyy by default), numbers with the regional decimal
    // separator, null as "".
    QString text(int row, int c) const;
    // The column's alignment; Auto resolved from its values: numbers right, dates centred.
    ReportTemplate::Align align(int c) const;

  private:
    std::vector<ReportTemplate::Column> columns_;
    std::vector<std::vector<platform::Variant>> rows_;
};

}  // namespace reportengine
