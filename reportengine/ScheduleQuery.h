#pragma once

#include <QHash>
#include <memory>
#include <optional>

#include "reportengine/ReportSource.h"
#include "reportengine/ScheduleGrid.h"

namespace reportengine {

class PeriodReader;

// A schedule read from the database: its distinct labels and periods, and the totals summed from
// the entries with visits; the cells are read in period order, a band of rows at a time, while
// they are drawn or written.
class ScheduleQuery : public ScheduleCells, public std::enable_shared_from_this<ScheduleQuery> {
  public:
    // The grid of the template's rows under a condition; no value, with the reason in `error`,
    // when the template names a missing column or a period's dates cannot be read. Database
    // failures are raised.
    static std::optional<ScheduleGrid> load(std::shared_ptr<ReportSource> source,
                                            const ReportTemplate& t,
                                            const std::vector<TableColumns>& tables,
                                            const QString& condition,
                                            const std::vector<platform::Variant>& parameters,
                                            QString* error);

    std::unique_ptr<Cursor> open(int firstRow, int rowCount, int firstPeriod) override;
    std::unique_ptr<Cursor> openDetails() override;

    // Dates as the schedule writes them: dates, or short-date texts.
    static std::optional<QDate> dateOf(const platform::Variant& v);
    // Which row and period an entry of a label and dates falls in; false when none.
    bool place(const QString& label, const platform::Variant& from, const platform::Variant& to,
               CellEntry& out) const;

  private:
    struct Reading;  // what the read of the entries gathers

    ScheduleQuery() = default;
    // The template's fields as columns of its tables, and its FROM clause; false (the reason in
    // `error`) when one is missing.
    bool resolveColumns(const ReportTemplate& t, const std::vector<TableColumns>& tables,
                        QString* error);
    QString periodsStatement() const;
    void readLabels(ScheduleGrid::Summary& s);
    // False (the reason in `error`) when a period's dates cannot be read.
    bool learnPeriods(PeriodReader& reader, ScheduleGrid::Summary& s, QString* error);
    bool readEntries(PeriodReader& periods, Reading& r, QString* error);
    QString statement(const QString& select, const QString& more, const QString& tail) const;
    QString entryColumns() const;  // label, dates, count and observation
    QString withVisits() const;    // the condition of the entries that add to a cell

    std::shared_ptr<ReportSource> source_;
    QString label_, from_, to_, count_, daily_, detail_;  // the columns, resolved
    QString fromClause_;
    QString condition_;
    std::vector<platform::Variant> parameters_;
    std::vector<QStringList> rawLabels_;  // per row, as the database groups them
    QHash<QString, int> rowOfRaw_, rowOfKey_;
    std::vector<ScheduleGrid::Period> periods_;
};

}  // namespace reportengine
