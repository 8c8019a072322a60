#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Variant.h"
#include "reportengine/ListRows.h"
#include "reportengine/ReportTemplate.h"

namespace reportengine {

// The rows of a list report with the template's columns, and their values as the list shows them.
class ReportTable {
  public:
    using Row = ListRows::Row;
    // A row and its number; false stops the rows.
    using Visit = std::function<bool(int row, const Row& values)>;

    ReportTable() = default;
    ReportTable(std::vector<ReportTemplate::Column> columns, std::vector<Row> rows);
    // Reads the rows once to count them and settle the columns' alignment; they are kept when
    // they fit the budget, otherwise read again, in order, as pages ask for them. Database
    // failures are raised.
    ReportTable(std::vector<ReportTemplate::Column> columns, std::shared_ptr<ListRows> rows);

    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return rowCount_; }
    const ReportTemplate::Column& column(int c) const { return columns_[c]; }
    // Rows [first, first + count) in order, a value for every column; false when `visit` stopped
    // them. Asks for rows that follow the last ones asked for go on with the same read.
    bool forRows(int first, int count, const Visit& visit) const;
    // Dates in the column's pattern (dd/MM/yyyy by default), numbers with the regional decimal
    // separator, null as "".
    QString text(const Row& row, int c) const;
    // The column's alignment; Auto resolved from its values: numbers right, dates centred.
    ReportTemplate::Align align(int c) const { return aligns_[c]; }
    bool held() const { return !source_; }

    // How many values (rows times columns) are kept in memory at most.
    static constexpr double kHeldValues = 400'000;
    static double heldBudget();
    // A smaller budget makes short lists take the path of long ones (tests).
    static void setHeldBudget(double values);

  private:
    void settle(const Row& row);  // resolves Auto alignments still open from a row's values

    struct Reader {
        std::unique_ptr<ListRows::Cursor> cursor;
        int next = 0;  // the number of the row the cursor gives next
    };

    std::vector<ReportTemplate::Column> columns_;
    std::vector<ReportTemplate::Align> aligns_;
    std::vector<Row> rows_;             // when held
    std::shared_ptr<ListRows> source_;  // when read again
    std::shared_ptr<Reader> reader_ = std::make_shared<Reader>();
    int rowCount_ = 0;
};

}  // namespace reportengine
