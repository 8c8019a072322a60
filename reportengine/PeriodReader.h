#pragma once

#include <QDate>
#include <QString>
#include <atomic>
#include <exception>
#include <map>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Variant.h"

namespace reportengine {

class ReportSource;

// The distinct periods of a schedule, read on a connection of their own while the caller reads
// the labels and the entries on another. The caller asks, without waiting, whether they are
// there, and takes them when it cannot go on without them.
class PeriodReader {
  public:
    struct Periods {
        std::map<std::pair<QDate, QDate>, bool> single;  // whether each period is a single day
        QString error;                                   // a period whose dates cannot be read
    };

    // Starts the read: each row of `statement` is the first and last date of a period and its
    // single-day flag.
    PeriodReader(std::shared_ptr<ReportSource> source, QString statement,
                 std::vector<platform::Variant> parameters);
    // Waits for the read: a caller that gives up early leaves no connection reading.
    ~PeriodReader();
    PeriodReader(const PeriodReader&) = delete;
    PeriodReader& operator=(const PeriodReader&) = delete;

    // Whether the read has ended; never waits.
    bool ready() const { return ready_.load(std::memory_order_acquire); }
    // Waits for the read and gives its periods, or raises what it raised. Once only.
    Periods take();

  private:
    void read();

    std::shared_ptr<ReportSource> source_;
    QString statement_;
    std::vector<platform::Variant> parameters_;
    Periods periods_;
    std::exception_ptr failure_;
    std::atomic<bool> ready_ = false;
    std::thread thread_;
};

}  // namespace reportengine
