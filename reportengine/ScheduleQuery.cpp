#include "reportengine/ScheduleQuery.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <map>

#include "platform/Regional.h"

namespace reportengine {

namespace {

using platform::Variant;

double numberOf(const Variant& v) {
    return v.isNull() || v.isEmpty() ? 0 : v.toNumber();
}

QString textOf(const Variant& v) {
    return v.isNull() ? QString() : v.toText();
}

// The single-day flag of an entry, as a database compares it with 0; none (null, no column)
// says not.
bool saysSingleDay(const Variant& v) {
    if (v.isNumber()) return v.number() == 0;
    if (v.isBoolean()) return !v.boolean();
    if (v.isText()) {
        bool ok = false;
        const double n = v.text().trimmed().toDouble(&ok);
        return ok && n == 0;
    }
    return false;
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

struct PeriodsRead {
    std::map<std::pair<QDate, QDate>, bool> single;  // of each period
    QString error;                                   // a period whose dates cannot be read
};

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
    struct Wanted {
        const QString& field;
        QString& column;
    } wanted[] = {{t.grid.label, q->label_}, {t.grid.from, q->from_},
                  {t.grid.to, q->to_},       {t.grid.count, q->count_},
                  {t.grid.daily, q->daily_}, {t.grid.detail, q->detail_}};
    for (auto& w : wanted) {
        if (w.field.isEmpty()) continue;
        const auto c = SelectionFormula::column(w.field, tables, error);
        if (!c) return std::nullopt;
        w.column = *c;
    }
    q->fromClause_ = ReportSource::fromClause(t, tables, error);
    if (q->fromClause_.isEmpty()) return std::nullopt;

    // The labels, the periods and the entries with visits are three scans of the whole schedule.
    // The periods, the longest, are read on a connection of their own while this one reads the
    // labels and then the entries: two reads at a time, as many as there are cores to share.
    const QString labelsSql = q->statement(QStringLiteral("DISTINCT ") + q->label_, {}, {});
    // The flag as stored rather than an expression of it: the engine keeps a few more distinct
    // values and evaluates nothing for every entry.
    const QString periodsSql = q->statement(
        QStringLiteral("DISTINCT %1, %2, %3")
            .arg(q->from_, q->to_, q->daily_.isEmpty() ? QStringLiteral("NULL") : q->daily_),
        {}, {});
    const auto periodsSource = q->source_->another();
    // Periods: a period is a single day when every entry of it says so.
    auto periodsRead = std::async(std::launch::async, [periodsSource, periodsSql, parameters] {
        PeriodsRead out;
        const auto rs = periodsSource->stream(periodsSql, parameters);
        for (; rs && rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
            const auto from = dateOf(rs->field(0).value());
            const auto to = dateOf(rs->field(1).value());
            if (!from || !to) {
                out.error =
                    QStringLiteral("tiene un período cuyas fechas no se pueden leer: «%1» a «%2»")
                        .arg(textOf(rs->field(0).value()), textOf(rs->field(1).value()));
                return out;
            }
            auto [it, added] = out.single.emplace(std::make_pair(*from, *to), true);
            it->second = it->second && saysSingleDay(rs->field(2).value());
        }
        return out;
    });

    // Labels as the database tells them apart, merged as it compares them (without case,
    // trailing blanks ignored) once their line breaks are normalised: the engine's DISTINCT may
    // still give several spellings of one label. DISTINCT rather than GROUP BY with the sums:
    // the engine keeps the few distinct values instead of sorting every entry.
    ScheduleGrid::Summary s;
    {
        struct Spellings {
            QString shown;
            QStringList raws;
        };
        std::map<QString, Spellings> byKey;
        const auto rs = q->source_->stream(labelsSql, parameters);
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
            q->rawLabels_.push_back(byKey.at(key).raws);
            for (const QString& raw : byKey.at(key).raws) q->rowOfRaw_.insert(raw, row);
            q->rowOfKey_.insert(key, row);
        }
        s.rowTotals.assign(s.labels.size(), 0);
        s.rowEntries.assign(s.labels.size(), 0);
    }

    bool known = false;
    // The periods once they are read; false when one cannot be read.
    auto learn = [&] {
        const PeriodsRead periods = periodsRead.get();
        if (!periods.error.isEmpty()) {
            if (error) *error = periods.error;
            return false;
        }
        for (const auto& [range, single] : periods.single)
            s.periods.push_back({range.first, range.second, single});
        q->periods_ = s.periods;
        s.periodTotals.assign(s.periods.size(), 0);
        known = true;
        return true;
    };

    // The entries with visits (or observations), few among a schedule's: the totals and the
    // largest cell come from them, and when they fit the budget they are kept for the pages
    // rather than read again. They come in period order.
    std::vector<CellEntry> held;
    bool keep = true;
    std::map<int, double> sums;  // of the rows in the period being read
    int period = -1;
    auto close = [&] {
        for (const auto& [row, sum] : sums) s.maxCount = std::max(s.maxCount, sum);
        sums.clear();
    };
    auto add = [&](RawEntry& r) {
        CellEntry e;
        if (!q->place(r.label, r.from, r.to, e)) return;
        e.count = r.count;
        e.detail = std::move(r.detail);
        if (e.period != period) close();
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
    };
    {
        const bool withDetail = !q->detail_.isEmpty();
        const auto rs = q->source_->stream(
            q->statement(q->entryColumns(), q->withVisits(),
                         QStringLiteral("ORDER BY %1, %2").arg(q->from_, q->to_)),
            parameters);
        // Entries read before the periods are known wait, up to a limit.
        std::vector<RawEntry> waiting;
        auto periodsKnown = [&] {
            using namespace std::chrono_literals;
            return periodsRead.wait_for(0s) == std::future_status::ready;
        };
        for (; rs && rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
            RawEntry r{textOf(rs->field(0).value()), rs->field(1).value(), rs->field(2).value(),
                       numberOf(rs->field(3).value()),
                       withDetail ? textOf(rs->field(4).value()) : QString()};
            if (!known) {
                if (static_cast<double>(waiting.size()) <
                        std::min(kMostWaiting, ScheduleGrid::heldBudget()) &&
                    (waiting.size() % 1024 != 0 || !periodsKnown())) {
                    waiting.push_back(std::move(r));
                    continue;
                }
                if (!learn()) return std::nullopt;
                for (RawEntry& w : waiting) add(w);
                std::vector<RawEntry>().swap(waiting);
            }
            add(r);
        }
        if (!known) {
            if (!learn()) return std::nullopt;
            for (RawEntry& w : waiting) add(w);
        }
        close();
    }
    return keep ? ScheduleGrid(std::move(s), q, std::move(held)) : ScheduleGrid(std::move(s), q);
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
