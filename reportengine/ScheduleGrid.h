#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace reportengine {

// One row of the schedule table: how many visits a row label has in one period.
struct ScheduleEntry {
    QString label;
    QDate from;
    QDate to;
    double count = 0;
    bool daily = false;
    QString detail;
};

// The schedule as a table: a row per label (in alphabetical order), a column per period (in date
// order), the counts added up where several entries meet in one cell.
class ScheduleGrid {
  public:
    struct Period {
        QDate from;
        QDate to;
        bool daily = false;
    };

    ScheduleGrid() = default;
    explicit ScheduleGrid(const std::vector<ScheduleEntry>& entries);

    int rowCount() const { return static_cast<int>(labels_.size()); }
    int periodCount() const { return static_cast<int>(periods_.size()); }

    // Line breaks (CR LF as the rows carry them) become "\n"; trailing ones are dropped.
    const QString& label(int row) const { return labels_[row]; }
    const Period& period(int p) const { return periods_[p]; }
    // "dd/mm/yy" over "dd/mm/yy", or the one day of a single-day period.
    QString periodHeading(int p) const;

    double count(int row, int p) const { return counts_[index(row, p)]; }
    // The count as shown: blank for zero.
    QString cellText(int row, int p) const;
    // The observations of a cell, one a line, each once.
    const QString& detail(int row, int p) const { return details_[index(row, p)]; }

    double rowTotal(int row) const { return rowTotals_[row]; }
    double periodTotal(int p) const { return periodTotals_[p]; }
    double grandTotal() const { return grandTotal_; }
    double maxCount() const { return maxCount_; }

    // 0 for an empty cell, then 1 (lightest) to 4 (deepest) in proportion to the largest count.
    int shadeLevel(int row, int p) const { return shadeLevel(count(row, p), maxCount_); }
    static int shadeLevel(double count, double maxCount);
    static constexpr int kShadeLevels = 4;

    static QString numberText(double n);

  private:
    std::size_t index(int row, int p) const {
        return static_cast<std::size_t>(row) * periods_.size() + static_cast<std::size_t>(p);
    }

    std::vector<QString> labels_;
    std::vector<Period> periods_;
    std::vector<double> counts_;
    std::vector<QString> details_;
    std::vector<double> rowTotals_;
    std::vector<double> periodTotals_;
    double grandTotal_ = 0;
    double maxCount_ = 0;
};

}  // namespace reportengine
