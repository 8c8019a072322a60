#include "reportengine/PeriodReader.h"

#include "reportengine/ReportSource.h"
#include "reportengine/ScheduleQuery.h"

namespace reportengine {

namespace {

using platform::Variant;

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

}  // namespace

PeriodReader::PeriodReader(std::shared_ptr<ReportSource> source, QString statement,
                           std::vector<platform::Variant> parameters)
    : source_(std::move(source)),
      statement_(std::move(statement)),
      parameters_(std::move(parameters)) {
    thread_ = std::thread([this] { read(); });
}

PeriodReader::~PeriodReader() {
    if (thread_.joinable()) thread_.join();
}

PeriodReader::Periods PeriodReader::take() {
    if (thread_.joinable()) thread_.join();
    source_.reset();  // its connection is not needed any more
    if (failure_) std::rethrow_exception(failure_);
    return std::move(periods_);
}

// A period is a single day when every entry of it says so.
void PeriodReader::read() {
    try {
        const auto rs = source_->stream(statement_, parameters_);
        for (; rs && rs->state() == ado::adstate::Open && !rs->eof(); rs->moveNext()) {
            const auto from = ScheduleQuery::dateOf(rs->field(0).value());
            const auto to = ScheduleQuery::dateOf(rs->field(1).value());
            if (!from || !to) {
                periods_.error =
                    QStringLiteral("tiene un período cuyas fechas no se pueden leer: «%1» a «%2»")
                        .arg(textOf(rs->field(0).value()), textOf(rs->field(1).value()));
                break;
            }
            auto [it, added] = periods_.single.emplace(std::make_pair(*from, *to), true);
            it->second = it->second && saysSingleDay(rs->field(2).value());
        }
    } catch (...) {
        // Nothing is lost: take() raises it on the caller's thread.
        failure_ = std::current_exception();
    }
    ready_.store(true, std::memory_order_release);
}

}  // namespace reportengine
