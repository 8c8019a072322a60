#include "reportengine/ScheduleGrid.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <map>

#include "platform/Regional.h"
#include "platform/Variant.h"

namespace reportengine {

namespace {

QString shortDate(const QDate& d) {
    const QChar sep = platform::Regional::current().dateSeparator;
    return d.toString(QStringLiteral("dd%1MM%1yy").arg(sep));
}

const QCollator& labelCollator() {
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Spanish)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    return collator;
}

// A schedule held in memory: its entries in period order.
class HeldCells : public ScheduleCells {
  public:
    explicit HeldCells(std::vector<CellEntry> entries) : entries_(std::move(entries)) {}

    std::unique_ptr<Cursor> open(int firstRow, int rowCount, int firstPeriod) override {
        return std::make_unique<Filter>(entries_, [=](const CellEntry& e) {
            return e.row >= firstRow && e.row < firstRow + rowCount && e.period >= firstPeriod;
        });
    }
    std::unique_ptr<Cursor> openDetails() override {
        return std::make_unique<Filter>(
            entries_, [](const CellEntry& e) { return !e.detail.trimmed().isEmpty(); });
    }

  private:
    class Filter : public Cursor {
      public:
        Filter(const std::vector<CellEntry>& entries, std::function<bool(const CellEntry&)> keep)
            : entries_(entries), keep_(std::move(keep)) {}
        bool next(CellEntry& out) override {
            while (at_ < entries_.size()) {
                const CellEntry& e = entries_[at_++];
                if (keep_(e)) {
                    out = e;
                    return true;
                }
            }
            return false;
        }

      private:
        const std::vector<CellEntry>& entries_;
        std::function<bool(const CellEntry&)> keep_;
        std::size_t at_ = 0;
    };

    std::vector<CellEntry> entries_;
};

}  // namespace

// ---- block -----------------------------------------------------------------------------------

ScheduleGrid::Block::Block(int firstRow, int rowCount, int firstPeriod, int periodCount)
    : firstRow_(firstRow),
      rowCount_(rowCount),
      firstPeriod_(firstPeriod),
      periodCount_(periodCount),
      counts_(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(periodCount), 0) {}

bool ScheduleGrid::Block::contains(int row, int p) const {
    return row >= firstRow_ && row < firstRow_ + rowCount_ && p >= firstPeriod_ &&
           p < firstPeriod_ + periodCount_;
}

const QString& ScheduleGrid::Block::detail(int row, int p) const {
    static const QString none;
    return details_.empty() ? none : details_[index(row, p)];
}

void ScheduleGrid::Block::add(const CellEntry& e) {
    if (!contains(e.row, e.period)) return;
    const std::size_t i = index(e.row, e.period);
    counts_[i] += e.count;
    const QString detail = e.detail.trimmed();
    if (detail.isEmpty()) return;
    if (details_.empty()) details_.resize(counts_.size());
    addDetail(details_[i], detail);
}

// ---- grid ------------------------------------------------------------------------------------

QString ScheduleGrid::normalizedLabel(QString label) {
    label.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    label.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (!label.isEmpty() && label.back().isSpace()) label.chop(1);
    return label;
}

void ScheduleGrid::addDetail(QString& cell, const QString& detail) {
    if (detail.isEmpty() || cell.split(QLatin1Char('\n')).contains(detail)) return;
    if (!cell.isEmpty()) cell += QLatin1Char('\n');
    cell += detail;
}

bool ScheduleGrid::labelBefore(const QString& a, const QString& b) {
    const int c = labelCollator().compare(a, b);
    return c != 0 ? c < 0 : a < b;
}

void ScheduleGrid::sortLabels(std::vector<QString>& labels) {
    std::sort(labels.begin(), labels.end(), labelBefore);
    labels.erase(std::unique(labels.begin(), labels.end()), labels.end());
}

ScheduleGrid::ScheduleGrid(const std::vector<ScheduleEntry>& entries) {
    std::map<QString, QString> shown;  // of each key
    for (const auto& e : entries) {
        const QString normal = normalizedLabel(e.label);
        auto [it, added] = shown.emplace(normal.toCaseFolded(), normal);
        if (!added && spellingBefore(normal, it->second)) it->second = normal;
    }
    for (const auto& [key, label] : shown) s_.labels.push_back(label);
    sortLabels(s_.labels);
    std::map<QString, int> rowOfKey;
    for (int r = 0; r < rowCount(); ++r) rowOfKey[labelKey(s_.labels[r])] = r;

    std::map<std::pair<QDate, QDate>, bool> periods;
    for (const auto& e : entries) {
        auto [it, added] = periods.emplace(std::make_pair(e.from, e.to), e.daily);
        if (!added) it->second = it->second && e.daily;
    }
    for (const auto& [range, daily] : periods)
        s_.periods.push_back({range.first, range.second, daily});

    std::vector<CellEntry> cells;
    std::map<std::pair<int, int>, double> sums;
    s_.rowTotals.assign(s_.labels.size(), 0);
    s_.rowEntries.assign(s_.labels.size(), 0);
    s_.periodTotals.assign(s_.periods.size(), 0);
    for (const auto& e : entries) {
        const int row = rowOfKey.at(labelKey(e.label));
        const auto p = std::distance(periods.begin(), periods.find({e.from, e.to}));
        cells.push_back({static_cast<int>(row), static_cast<int>(p), e.count, e.detail});
        s_.rowTotals[row] += e.count;
        if (e.count != 0) s_.rowEntries[row] += 1;
        s_.periodTotals[p] += e.count;
        sums[{static_cast<int>(row), static_cast<int>(p)}] += e.count;
    }
    for (const auto& [cell, sum] : sums) s_.maxCount = std::max(s_.maxCount, sum);
    for (double t : s_.rowTotals) grandTotal_ += t;
    std::stable_sort(cells.begin(), cells.end(),
                     [](const CellEntry& a, const CellEntry& b) { return a.period < b.period; });
    cells_ = std::make_shared<HeldCells>(std::move(cells));
}

ScheduleGrid::ScheduleGrid(Summary summary, std::shared_ptr<ScheduleCells> cells)
    : s_(std::move(summary)), cells_(std::move(cells)) {
    for (double t : s_.rowTotals) grandTotal_ += t;
}

ScheduleGrid::ScheduleGrid(Summary summary, std::shared_ptr<ScheduleCells> cells,
                           std::vector<CellEntry> all)
    : ScheduleGrid(std::move(summary), std::move(cells)) {
    reader_->held = std::move(all);
    reader_->heldFirst = 0;
    reader_->heldEnd = rowCount();
}

QString ScheduleGrid::periodHeading(int p) const {
    const Period& period = s_.periods[p];
    if (period.daily || period.from == period.to) return shortDate(period.from);
    return shortDate(period.from) + QLatin1Char('\n') + shortDate(period.to);
}

ScheduleGrid::Block ScheduleGrid::block(int firstRow, int rowCount, int firstPeriod,
                                        int periodCount) const {
    Block b(firstRow, rowCount, firstPeriod, periodCount);
    if (!cells_ || rowCount <= 0 || periodCount <= 0) return b;
    Reader& r = *reader_;
    if (hold(firstRow, rowCount)) {
        auto e = std::lower_bound(r.held.begin(), r.held.end(), firstPeriod,
                                  [](const CellEntry& a, int p) { return a.period < p; });
        for (; e != r.held.end() && e->period < firstPeriod + periodCount; ++e) b.add(*e);
        return b;
    }
    // Going on from where the last block of these rows stopped, or starting afresh.
    if (r.firstRow != firstRow || r.rowCount != rowCount || r.nextPeriod > firstPeriod) {
        r.cursor = cells_->open(firstRow, rowCount, firstPeriod);
        r.firstRow = firstRow;
        r.rowCount = rowCount;
        r.pending = false;
    }
    const int end = firstPeriod + periodCount;
    while (r.cursor) {
        if (!r.pending && !r.cursor->next(r.lookahead)) {
            r.cursor.reset();  // the rows have nothing further on
            break;
        }
        r.pending = true;
        if (r.lookahead.period >= end) break;
        b.add(r.lookahead);
        r.pending = false;
    }
    r.nextPeriod = end;
    return b;
}

namespace {
double& budget() {
    static double entries = ScheduleGrid::kHeldEntries;
    return entries;
}
}  // namespace

double ScheduleGrid::heldBudget() {
    return budget();
}

void ScheduleGrid::setHeldBudget(double entries) {
    budget() = entries;
}

bool ScheduleGrid::hold(int firstRow, int rowCount) const {
    Reader& r = *reader_;
    if (firstRow >= r.heldFirst && firstRow + rowCount <= r.heldEnd) return true;
    // The rows asked for and as many of the following ones as the budget allows.
    double entries = 0;
    int end = firstRow;
    while (end < this->rowCount() && entries + s_.rowEntries[end] <= heldBudget()) {
        entries += s_.rowEntries[end];
        ++end;
    }
    if (end < firstRow + rowCount) return false;
    r.held.clear();
    r.heldFirst = r.heldEnd = 0;
    const auto cursor = cells_->open(firstRow, end - firstRow, 0);
    for (CellEntry e; cursor->next(e);) r.held.push_back(std::move(e));
    r.heldFirst = firstRow;
    r.heldEnd = end;
    return true;
}

std::unique_ptr<ScheduleCells::Cursor> ScheduleGrid::entries(int firstRow, int rowCount) const {
    if (!hold(firstRow, rowCount)) return cells_->open(firstRow, rowCount, 0);
    // The held entries of those rows.
    class Held : public ScheduleCells::Cursor {
      public:
        Held(std::shared_ptr<const Reader> r, int first, int end)
            : r_(std::move(r)), first_(first), end_(end) {}
        bool next(CellEntry& out) override {
            while (at_ < r_->held.size()) {
                const CellEntry& e = r_->held[at_++];
                if (e.row >= first_ && e.row < end_) {
                    out = e;
                    return true;
                }
            }
            return false;
        }

      private:
        std::shared_ptr<const Reader> r_;
        int first_, end_;
        std::size_t at_ = 0;
    };
    return std::make_unique<Held>(reader_, firstRow, firstRow + rowCount);
}

std::unique_ptr<ScheduleCells::Cursor> ScheduleGrid::details() const {
    return cells_->openDetails();
}

double ScheduleGrid::count(int row, int p) const {
    return block(row, 1, p, 1).count(row, p);
}

QString ScheduleGrid::cellText(int row, int p) const {
    return countText(count(row, p));
}

QString ScheduleGrid::detail(int row, int p) const {
    return block(row, 1, p, 1).detail(row, p);
}

int ScheduleGrid::shadeLevel(double count, double maxCount) {
    if (count <= 0 || maxCount <= 0) return 0;
    if (maxCount <= 1) return 1;
    const int level =
        1 + static_cast<int>(std::floor((kShadeLevels - 1) * (count - 1) / (maxCount - 1)));
    return std::clamp(level, 1, kShadeLevels);
}

QString ScheduleGrid::numberText(double n) {
    return platform::numberText(n, platform::Regional::current().decimalSeparator);
}

}  // namespace reportengine
