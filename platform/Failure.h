#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// The current error of a failing operation: what the suite's reporters show and compare.
struct ErrorInfo {
    qint32 number = 0;
    QString description;
    QString source;
};

// Error numbers of the platform's own run-time errors that the suite's code names or compares.
namespace errnum {
constexpr qint32 InvalidArgument = 5;
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 BadFileName = 52;
constexpr qint32 FileNotFound = 53;
constexpr qint32 InputPastEnd = 62;
constexpr qint32 PermissionDenied = 70;
constexpr qint32 PathFileAccess = 75;  // a folder, not a regular file, too large
constexpr qint32 PathNotFound = 76;
constexpr qint32 InvalidUseOfNull = 94;
constexpr qint32 BadRecordLength = 59;
}  // namespace errnum

// A raised error. Failures travel as this exception inside a routine and are turned back into
// one of the three conventions by `Steps`; no failure leaves a routine of the suite as an
// exception unless its convention is to pass it to the caller.
class Failure : public std::exception {
  public:
    explicit Failure(ErrorInfo info);
    const ErrorInfo& info() const { return info_; }
    const char* what() const noexcept override { return what_.c_str(); }

  private:
    ErrorInfo info_;
    std::string what_;
};

[[noreturn]] void raise(qint32 number, const QString& description, const QString& source = {});

// The error carried by an exception in flight: a Failure as it is, anything else as the
// platform would describe it (invalid argument, out of memory, ...).
ErrorInfo errorOf(const std::exception_ptr& e);

// Runs the steps of a routine under one of the failure conventions:
//  - skipping(): a failing step is skipped and the next one runs;
//  - trapping(reporter): the reporter gets the error; 4 repeats the failing step, 5 goes on with
//    the next one, anything else leaves the routine (after the clean-up);
//  - passing(): the first failure goes to the caller (after the clean-up).
// A step may call Steps::leave() to end the routine early on purpose.
class Steps {
  public:
    using Step = std::function<void()>;
    using Reporter = std::function<int(const ErrorInfo&)>;

    static Steps skipping();
    static Steps trapping(Reporter reporter);
    static Steps passing();

    Steps& then(Step step);
    Steps& cleanup(Step step);

    // True when the routine ran to its end; false when it was left (reporter answer or leave()).
    bool run();

    // The error of the last failure met by run(), number 0 when none.
    const ErrorInfo& lastError() const { return lastError_; }

    [[noreturn]] static void leave();

  private:
    enum class Mode { Skip, Trap, Pass };
    explicit Steps(Mode m) : mode_(m) {}

    Mode mode_;
    Reporter reporter_;
    std::vector<Step> steps_;
    Step cleanup_;
    ErrorInfo lastError_;
};

}  // namespace platform
