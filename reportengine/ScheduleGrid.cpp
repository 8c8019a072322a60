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

QString normalizedLabel(QString label) {
    label.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    label.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (!label.isEmpty() && label.back().isSpace()) label.chop(1);
    return label;
}

QString shortDate(const QDate& d) {
    const QChar sep = platform::Regional::current().dateSeparator;
    return d.toString(QStringLiteral("dd%1MM%1yy").arg(sep));
}

}  // namespace

ScheduleGrid::ScheduleGrid(const std::vector<ScheduleEntry>& entries) {
    // Labels in the order a reader looks them up: alphabetical without regard to case, the
    // numbers in codes in numeric order; labels the collation finds equal keep a fixed order.
    QCollator collator{QLocale(QLocale::Spanish)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    const auto before = [&](const QString& a, const QString& b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b;
    };
    for (const auto& e : entries) labels_.push_back(normalizedLabel(e.label));
    std::sort(labels_.begin(), labels_.end(), before);
    labels_.erase(std::unique(labels_.begin(), labels_.end()), labels_.end());

    std::map<std::pair<QDate, QDate>, bool> periods;
    for (const auto& e : entries) {
        auto [it, added] = periods.emplace(std::make_pair(e.from, e.to), e.daily);
        if (!added) it->second = it->second && e.daily;
    }
    for (const auto& [range, daily] : periods)
        periods_.push_back({range.first, range.second, daily});

    counts_.assign(labels_.size() * periods_.size(), 0);
    details_.assign(counts_.size(), QString());
    for (const auto& e : entries) {
        const auto row =
            std::lower_bound(labels_.begin(), labels_.end(), normalizedLabel(e.label), before) -
            labels_.begin();
        const auto p =
            std::lower_bound(periods_.begin(), periods_.end(), e,
                             [](const Period& a, const ScheduleEntry& b) {
                                 return std::make_pair(a.from, a.to) < std::make_pair(b.from, b.to);
                             }) -
            periods_.begin();
        const std::size_t i = index(static_cast<int>(row), static_cast<int>(p));
        counts_[i] += e.count;
        const QString detail = e.detail.trimmed();
        if (!detail.isEmpty() && !details_[i].split(QLatin1Char('\n')).contains(detail)) {
            if (!details_[i].isEmpty()) details_[i] += QLatin1Char('\n');
            details_[i] += detail;
        }
    }

    rowTotals_.assign(labels_.size(), 0);
    periodTotals_.assign(periods_.size(), 0);
    for (int r = 0; r < rowCount(); ++r) {
        for (int p = 0; p < periodCount(); ++p) {
            const double c = count(r, p);
            rowTotals_[r] += c;
            periodTotals_[p] += c;
            grandTotal_ += c;
            maxCount_ = std::max(maxCount_, c);
        }
    }
}

QString ScheduleGrid::periodHeading(int p) const {
    const Period& period = periods_[p];
    if (period.daily || period.from == period.to) return shortDate(period.from);
    return shortDate(period.from) + QLatin1Char('\n') + shortDate(period.to);
}

QString ScheduleGrid::cellText(int row, int p) const {
    const double c = count(row, p);
    return c == 0 ? QString() : numberText(c);
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
