#include "reportengine/ScheduleQuery.h"

#include <algorithm>
#include <map>

#include "platform/Regional.h"
#include "reportengine/PeriodReader.h"

namespace reportengine {

namespace {

using platform::Variant;

double numberOf(const Variant& v) {
    return v.isNull() || v.isEmpty() ? 0 : v.toNumber();
}

QString textOf(const Variant& v) {
    return v.isNull() ? QString() : v.toText();
}

// An entry as the database gives it, before its period is known.
struct RawEntry {
    QString label;
    Variant from, to;
    double count = 0;
    QString detail;
};

// Entries read before the periods are known are kept up to this many (and never more
// than the entries a schedule may hold); beyond, the read waits for them.
constexpr double kMostWaiting = 100000;

// A server takes a limited number of parameters in one statement; rows beyond that are read
// without naming them and sorted out here.
constexpr int kMostNamedLabels = 400;

class RecordCursor : public ScheduleCells::Cursor {
  public:
    RecordCursor(std::shared_ptr<const ScheduleQuery> query, std::shared_ptr<ado::Recordset> rs,
                 int firstRow, int rowCount, int firstPeriod, bool withDetail)
        : query_(std::move(query)),
          rs_(std::move(rs)),
          firstRow_(firstRow),
          endRow_(firstRow + rowCount),
          firstPeriod_(firstPeriod),
          withDetail_(withDetail) {}

    bool next(CellEntry& out) override {
        for (; rs_ && rs_->state() == ado::adstate::Open && !rs_->eof(); rs_->moveNext()) {
            if (!query_->place(textOf(rs_->field(0).value()), rs_->field(1).value(),
                               rs_->field(2).value(), out))
                continue;
            if (out.row < firstRow_ || out.row >= endRow_ || out.period < firstPeriod_) continue;
            out.count = numberOf(rs_->field(3).value());
            out.detail = withDetail_ ? textOf(rs_->field(4).value()) : QString();
            rs_->moveNext();
            return true;
        }
        rs_.reset();  // the read ends as soon as the rows do
        return false;
    }

  private:
    std::shared_ptr<const ScheduleQuery> query_;
    std::shared_ptr<ado::Recordset> rs_;
    int firstRow_, endRow_, firstPeriod_;
    bool withDetail_;
};

}  // namespace

std::optional<QDate> ScheduleQuery::dateOf(const Variant& v) {
    if (v.isDate()) return v.date().date();
    if (v.isText()) {
        if (const auto d = platform::Regional::current().parseDate(v.text())) return d->date();
    }
    return std::nullopt;
}

QString ScheduleQuery::statement(const QString& select, const QString& more,
                                 const QString& tail) const {
    QStringList where;
    if (!condition_.isEmpty()) where << QLatin1Char('(') + condition_ + QLatin1Char(')');
    if (!more.isEmpty()) where << more;
    QString sql = QStringLiteral("SELECT %1 %2").arg(select, fromClause_);
    if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (!tail.isEmpty()) sql += QLatin1Char(' ') + tail;
    return sql;
}

// What the read of the entries with visits (or observations) gathers, in period order: the
// totals, the largest cell, and the entries themselves while they fit the budget, kept for the
// pages rather than read again.
struct ScheduleQuery::Reading {
    void add(const ScheduleQuery& q, RawEntry& r);
    // The largest cell of the period read so far.
    void closePeriod();

    ScheduleGrid::Summary s;
    std::vector<CellEntry> held;
    bool keep = true;
    std::map<int, double> sums;  // of the rows in the period being read
    int period = -1;
};

void ScheduleQuery::Reading::add(const ScheduleQuery& q, RawEntry& r) {
    CellEntry e;
    if (!q.place(r.label, r.from, r.to, e)) return;
    e.count = r.count;
    e.detail = std::move(r.detail);
    if (e.period != period) closePeriod();
    period = e.period;
    sums[e.row] += e.count;
    s.rowTotals[e.row] += e.count;
    s.periodTotals[e.period] += e.count;
    if (e.count != 0) ++s.rowEntries[e.row];
    if (!keep) return;
    if (static_cast<double>(held.size()) >= ScheduleGrid::heldBudget()) {
        keep = false;
        std::vector<CellEntry>().swap(held);
    } else {
        held.push_back(std::move(e));
    }
}

void ScheduleQuery::Reading::closePeriod() {
    for (const auto& [row, sum] : sums) s.maxCount = std::max(s.maxCount, sum);
    sums.clear();
}

std::optional<ScheduleGrid> ScheduleQuery::load(std::shared_ptr<ReportSource> source,
                                                const ReportTemplate& t,
                                                const std::vector<TableColumns>& tables,
                                                const QString& condition,
                                                const std::vector<Variant>& parameters,
                                                QString* error) {
    std::shared_ptr<ScheduleQuery> q(new ScheduleQuery);
    q->source_ = std::move(source);
    q->condition_ = condition;
    q->parameters_ = parameters;
    if (!q->resolveColumns(t, tables, error)) return std::nullopt;

    // The labels, the periods and the entries with visits are three scans of the whole schedule.
    // The periods, the longest, are read on a connection of their own while this one reads the
    // labels and then the entries: two reads at a time, as many as there are cores to share.
    PeriodReader periods(q->source_->another(), q->periodsStatement(), parameters);
    Reading r;
    q->readLabels(r.s);
    if (!q->readEntries(periods, r, error)) return std::nullopt;
    return r.keep ? ScheduleGrid(std::move(r.s), q, std::move(r.held))
                  : ScheduleGrid(std::move(r.s), q);
}

bool ScheduleQuery::resolveColumns(const ReportTemplate& t, const std::vector<TableColumns>& tables,
                                   QString* error) {
    struct Wanted {
        const QString& field;
        QString& column;
    } wanted[] = {{t.grid.label, label_}, {t.grid.from, from_},   {t.grid.to, to_},
                  {t.grid.count, count_}, {t.grid.daily, daily_}, {t.grid.detail, detail_}};
    for (auto& w : wanted) {
        if (w.field.isEmpty()) continue;
        const auto c = SelectionFormula::column(w.field, tables, error);
        if (!c) return false;
        w.column = *c;
    }
    fromClause_ = ReportSource::fromClause(t, tables, error);
    return !fromClause_.isEmpty();
}

QString ScheduleQuery::periodsStatement() const {
    // The flag as stored rather than an expression of it: the engine keeps a few more distinct
    // values and evaluates nothing for every entry.
    return statement(QStringLiteral("DISTINCT %1, %2, %3")
                         .arg(from_, to_, daily_.isEmpty() ? QStringLiteral("NULL") : daily_),
                     {}, {});
}

// Labels as the database tells them apart, merged as it compares them (without case, trailing
// blanks ignored) once their line breaks are normalised: the engine's DISTINCT may still give
// several spellings of one label. DISTINCT rather than GROUP BY with the sums: the engine keeps
// the few distinct values instead of sorting every entry.
void ScheduleQuery::readLabels(ScheduleGrid::Summary& s) {
    struct Spellings {
        QString shown;
        QStringList raws;
    };
    std::map<QString, Spellings> byKey;
    const auto rs =
        source_->stream(statement(QStringLiteral("DISTINCT ") + label_, {}, {}), parameters_);
    for (; rs && rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
        const QString raw = textOf(rs->field(0).value());
        const QString normal = ScheduleGrid::normalizedLabel(raw);
        Spellings& k = byKey[normal.toCaseFolded()];
        if (k.raws.isEmpty() || ScheduleGrid::spellingBefore(normal, k.shown)) k.shown = normal;
        k.raws << raw;
    }
    for (const auto& [key, k] : byKey) s.labels.push_back(k.shown);
    ScheduleGrid::sortLabels(s.labels);
    for (int row = 0; row < static_cast<int>(s.labels.size()); ++row) {
        const QString key = ScheduleGrid::labelKey(s.labels[row]);
        rawLabels_.push_back(byKey.at(key).raws);
        for (const QString& raw : byKey.at(key).raws) rowOfRaw_.insert(raw, row);
        rowOfKey_.insert(key, row);
    }
    s.rowTotals.assign(s.labels.size(), 0);
    s.rowEntries.assign(s.labels.size(), 0);
}

bool ScheduleQuery::learnPeriods(PeriodReader& reader, ScheduleGrid::Summary& s, QString* error) {
    const PeriodReader::Periods periods = reader.take();
    if (!periods.error.isEmpty()) {
        if (error) *error = periods.error;
        return false;
    }
    for (const auto& [range, single] : periods.single)
        s.periods.push_back({range.first, range.second, single});
    periods_ = s.periods;
    s.periodTotals.assign(s.periods.size(), 0);
    return true;
}

// The entries come in period order; those read before the periods are known wait for them, up to
// a limit, and the read then waits instead.
bool ScheduleQuery::readEntries(PeriodReader& periods, Reading& r, QString* error) {
    const bool withDetail = !detail_.isEmpty();
    const auto rs = source_->stream(
        statement(entryColumns(), withVisits(), QStringLiteral("ORDER BY %1, %2").arg(from_, to_)),
        parameters_);
    bool known = false;
    std::vector<RawEntry> waiting;
    auto learn = [&] {
        if (!learnPeriods(periods, r.s, error)) return false;
        known = true;
        for (RawEntry& w : waiting) r.add(*this, w);
        std::vector<RawEntry>().swap(waiting);
        return true;
    };
    for (; rs && rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
        RawEntry e{textOf(rs->field(0).value()), rs->field(1).value(), rs->field(2).value(),
                   numberOf(rs->field(3).value()),
                   withDetail ? textOf(rs->field(4).value()) : QString()};
        if (!known) {
            if (static_cast<double>(waiting.size()) <
                    std::min(kMostWaiting, ScheduleGrid::heldBudget()) &&
                !periods.ready()) {
                waiting.push_back(std::move(e));
                continue;
            }
            if (!learn()) return false;
        }
        r.add(*this, e);
    }
    if (!known && !learn()) return false;
    r.closePeriod();
    return true;
}

QString ScheduleQuery::entryColumns() const {
    return QStringList{label_, from_, to_, count_}.join(QStringLiteral(", ")) +
           (detail_.isEmpty() ? QString() : QStringLiteral(", ") + detail_);
}

QString ScheduleQuery::withVisits() const {
    // An entry without visits or an observation adds nothing to a cell: most of a schedule's
    // entries are such, and are left in the database. "> ' '" is an observation on every server
    // (one that takes '' for null included) and leaves blank ones out.
    return detail_.isEmpty() ? QStringLiteral("%1 <> 0").arg(count_)
                             : QStringLiteral("(%1 <> 0 OR %2 > ' ')").arg(count_, detail_);
}

bool ScheduleQuery::place(const QString& label, const Variant& from, const Variant& to,
                          CellEntry& out) const {
    auto row = rowOfRaw_.constFind(label);
    if (row == rowOfRaw_.cend()) {
        row = rowOfKey_.constFind(ScheduleGrid::labelKey(label));
        if (row == rowOfKey_.cend()) return false;
    }
    const auto f = dateOf(from);
    const auto t = dateOf(to);
    if (!f || !t) return false;
    const auto p =
        std::lower_bound(periods_.begin(), periods_.end(), std::make_pair(*f, *t),
                         [](const ScheduleGrid::Period& a, const std::pair<QDate, QDate>& b) {
                             return std::make_pair(a.from, a.to) < b;
                         });
    if (p == periods_.end() || p->from != *f || p->to != *t) return false;
    out.row = row.value();
    out.period = static_cast<int>(p - periods_.begin());
    return true;
}

std::unique_ptr<ScheduleCells::Cursor> ScheduleQuery::open(int firstRow, int rowCount,
                                                           int firstPeriod) {
    const QString columns = entryColumns();
    QStringList more{withVisits()};
    std::vector<Variant> parameters = parameters_;
    const int rows = static_cast<int>(rawLabels_.size());
    int named = 0;
    for (int r = firstRow; r < firstRow + rowCount && r < rows; ++r) named += rawLabels_[r].size();
    if (rowCount < rows && named <= kMostNamedLabels) {
        QStringList marks;
        for (int r = firstRow; r < firstRow + rowCount && r < rows; ++r) {
            for (const QString& raw : rawLabels_[r]) {
                marks << QStringLiteral("?");
                parameters.emplace_back(raw);
            }
        }
        if (!marks.isEmpty())
            more << QStringLiteral("%1 IN (%2)").arg(label_, marks.join(QStringLiteral(", ")));
    }
    if (firstPeriod > 0 && firstPeriod < static_cast<int>(periods_.size())) {
        more << QStringLiteral("%1 >= ?").arg(from_);
        parameters.emplace_back(QDateTime(periods_[firstPeriod].from, QTime(0, 0)));
    }
    const auto rs = source_->stream(statement(columns, more.join(QStringLiteral(" AND ")),
                                              QStringLiteral("ORDER BY %1, %2").arg(from_, to_)),
                                    parameters);
    return std::make_unique<RecordCursor>(shared_from_this(), rs, firstRow, rowCount, firstPeriod,
                                          !detail_.isEmpty());
}

std::unique_ptr<ScheduleCells::Cursor> ScheduleQuery::openDetails() {
    if (detail_.isEmpty())
        return std::make_unique<RecordCursor>(shared_from_this(), nullptr, 0, 0, 0, false);
    const QString columns =
        QStringList{label_, from_, to_, count_, detail_}.join(QStringLiteral(", "));
    const auto rs = source_->stream(statement(columns, QStringLiteral("%1 > ' '").arg(detail_),
                                              QStringLiteral("ORDER BY %1, %2").arg(from_, to_)),
                                    parameters_);
    return std::make_unique<RecordCursor>(shared_from_this(), rs, 0,
                                          static_cast<int>(rawLabels_.size()), 0, true);
}

}  // namespace reportengine
