#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>
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

// One entry as the cells read it: the row and the period it falls in.
struct CellEntry {
    int row = 0;
    int period = 0;
    double count = 0;
    QString detail;
};

// Where the cells of a schedule come from. Only what is being drawn or written is read, so
// that a schedule of any size takes the memory of a page.
class ScheduleCells {
  public:
    class Cursor {
      public:
        virtual ~Cursor() = default;
        // The next entry, in period order; false at the end. Entries of one cell may come
        // separately.
        virtual bool next(CellEntry& out) = 0;
    };
    virtual ~ScheduleCells() = default;
    // The entries of rows [firstRow, firstRow + rowCount) from period `firstPeriod` on.
    virtual std::unique_ptr<Cursor> open(int firstRow, int rowCount, int firstPeriod) = 0;
    // The entries that carry an observation, of every row, in period order.
    virtual std::unique_ptr<Cursor> openDetails() = 0;
};

// The schedule as a table: a row per label (in alphabetical order), a column per period (in date
// order), the counts added up where several entries meet in one cell. The labels, periods and
// totals are held; the cells are read a block at a time.
class ScheduleGrid {
  public:
    struct Period {
        QDate from;
        QDate to;
        bool daily = false;
    };

    // What is known of a schedule before its cells are read.
    struct Summary {
        std::vector<QString> labels;  // normalised, in order
        std::vector<Period> periods;  // in order
        std::vector<double> rowTotals;
        std::vector<double> periodTotals;
        std::vector<double> rowEntries;  // entries with visits in each row, for chunked reading
        double maxCount = 0;             // the largest cell
    };

    // The cells of some rows and periods.
    class Block {
      public:
        Block() = default;
        Block(int firstRow, int rowCount, int firstPeriod, int periodCount);
        int firstRow() const { return firstRow_; }
        int rowCount() const { return rowCount_; }
        int firstPeriod() const { return firstPeriod_; }
        int periodCount() const { return periodCount_; }
        bool contains(int row, int p) const;
        double count(int row, int p) const { return counts_[index(row, p)]; }
        const QString& detail(int row, int p) const;
        void add(const CellEntry& e);

      private:
        std::size_t index(int row, int p) const {
            return static_cast<std::size_t>(row - firstRow_) * periodCount_ +
                   static_cast<std::size_t>(p - firstPeriod_);
        }
        int firstRow_ = 0, rowCount_ = 0, firstPeriod_ = 0, periodCount_ = 0;
        std::vector<double> counts_;
        std::vector<QString> details_;  // empty while no cell has one
    };

    ScheduleGrid() = default;
    // A schedule held in memory, from its entries.
    explicit ScheduleGrid(const std::vector<ScheduleEntry>& entries);
    // A schedule whose cells are read from `cells`.
    ScheduleGrid(Summary summary, std::shared_ptr<ScheduleCells> cells);
    // The same, with every entry of every row already read (in period order).
    ScheduleGrid(Summary summary, std::shared_ptr<ScheduleCells> cells, std::vector<CellEntry> all);

    int rowCount() const { return static_cast<int>(s_.labels.size()); }
    int periodCount() const { return static_cast<int>(s_.periods.size()); }

    // Line breaks (CR LF as the rows carry them) become "\n"; trailing ones are dropped.
    const QString& label(int row) const { return s_.labels[row]; }
    const Period& period(int p) const { return s_.periods[p]; }
    // "dd/mm/yy" over "dd/mm/yy", or the one day of a single-day period.
    QString periodHeading(int p) const;

    // The cells of rows and periods. The entries of as many rows as fit in a budget are read
    // once and kept for their blocks; beyond it, blocks of the same rows read in period order
    // read the entries once.
    Block block(int firstRow, int rowCount, int firstPeriod, int periodCount) const;
    // The cells of rows [firstRow, firstRow + rowCount), every period, entry by entry in period
    // order (entries of one cell may come separately).
    std::unique_ptr<ScheduleCells::Cursor> entries(int firstRow, int rowCount) const;
    std::unique_ptr<ScheduleCells::Cursor> details() const;
    double rowEntries(int row) const { return s_.rowEntries[row]; }

    // One cell at a time; for small uses.
    double count(int row, int p) const;
    QString cellText(int row, int p) const;
    QString detail(int row, int p) const;

    double rowTotal(int row) const { return s_.rowTotals[row]; }
    double periodTotal(int p) const { return s_.periodTotals[p]; }
    double grandTotal() const { return grandTotal_; }
    double maxCount() const { return s_.maxCount; }

    // 0 for an empty cell, then 1 (lightest) to 4 (deepest) in proportion to the largest count.
    static int shadeLevel(double count, double maxCount);
    static constexpr int kShadeLevels = 4;
    // How many entries are kept in memory for the blocks at most.
    static constexpr double kHeldEntries = 400'000;
    static double heldBudget();
    // A smaller budget makes small schedules take the path of large ones (tests).
    static void setHeldBudget(double entries);

    static QString numberText(double n);
    // The count as shown: blank for zero.
    static QString countText(double n) { return n == 0 ? QString() : numberText(n); }
    static QString normalizedLabel(QString label);
    // What labels are compared by, as the database compares them: without case, trailing
    // blanks ignored. Labels with the same key are one row.
    static QString labelKey(const QString& label) { return normalizedLabel(label).toCaseFolded(); }
    // The spelling a row of several shows: the same whichever order they come in.
    static bool spellingBefore(const QString& a, const QString& b) { return a < b; }
    // Adds an observation to those of a cell: one a line, each once.
    static void addDetail(QString& cell, const QString& detail);
    // The order of labels: alphabetical without regard to case, numbers in codes in numeric
    // order; labels the collation finds equal keep a fixed order.
    static void sortLabels(std::vector<QString>& labels);
    static bool labelBefore(const QString& a, const QString& b);

  private:
    // The cells of a band of rows held in memory (period order), read in one go when they are
    // few enough; otherwise where the sequential reading of one slice of rows stands.
    struct Reader {
        int heldFirst = 0;
        int heldEnd = 0;
        std::vector<CellEntry> held;
        std::unique_ptr<ScheduleCells::Cursor> cursor;  // null once the rows are read to the end
        int firstRow = -1;
        int rowCount = 0;
        int nextPeriod = 0;
        bool pending = false;
        CellEntry lookahead;
    };
    bool hold(int firstRow, int rowCount) const;

    Summary s_;
    double grandTotal_ = 0;
    std::shared_ptr<ScheduleCells> cells_;
    std::shared_ptr<Reader> reader_ = std::make_shared<Reader>();
};

}  // namespace reportengine
