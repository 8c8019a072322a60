#include "platform/Failure.h"

#include <new>
#include <stdexcept>

#include "platform/Process.h"
#include "platform/Prompt.h"

namespace platform {

namespace {
struct LeaveSignal {};

void runCleanup(const Steps::Step& cleanup) {
    if (!cleanup) return;
    try {
        cleanup();
    } catch (...) {
        // A clean-up that fails must not hide the routine's own outcome.
    }
}
}  // namespace

Failure::Failure(ErrorInfo info) : info_(std::move(info)) {
    what_ = QStringLiteral("(%1) %2").arg(info_.number).arg(info_.description).toStdString();
}

void raise(qint32 number, const QString& description, const QString& source) {
    throw Failure(ErrorInfo{number, description, source});
}

ErrorInfo errorOf(const std::exception_ptr& e) {
    try {
        std::rethrow_exception(e);
    } catch (const Failure& f) {
        return f.info();
    } catch (const std::bad_alloc&) {
        return {errnum::OutOfMemory, QStringLiteral("Memoria insuficiente"), {}};
    } catch (const std::invalid_argument& x) {
        return {errnum::InvalidArgument, QString::fromUtf8(x.what()), {}};
    } catch (const std::out_of_range& x) {
        return {errnum::SubscriptOutOfRange, QString::fromUtf8(x.what()), {}};
    } catch (const std::exception& x) {
        return {errnum::InvalidArgument, QString::fromUtf8(x.what()), {}};
    } catch (...) {
        return {errnum::InvalidArgument, QStringLiteral("Error desconocido"), {}};
    }
}

Steps Steps::skipping() {
    return Steps(Mode::Skip);
}
Steps Steps::passing() {
    return Steps(Mode::Pass);
}
Steps Steps::trapping(Reporter reporter) {
    Steps s(Mode::Trap);
    s.reporter_ = std::move(reporter);
    return s;
}

Steps& Steps::then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

Steps& Steps::cleanup(Step step) {
    cleanup_ = std::move(step);
    return *this;
}

void Steps::leave() {
    throw LeaveSignal{};
}

bool Steps::run() {
    lastError_ = {};
    for (std::size_t i = 0; i < steps_.size();) {
        try {
            steps_[i]();
            ++i;
        } catch (const LeaveSignal&) {
            runCleanup(cleanup_);
            return false;
        } catch (const process::ProgramEnded&) {
            throw;  // the end of the program is nobody's failure to handle
        } catch (...) {
            lastError_ = errorOf(std::current_exception());
            switch (mode_) {
                case Mode::Skip:
                    ++i;
                    break;
                case Mode::Pass:
                    runCleanup(cleanup_);
                    throw;
                case Mode::Trap: {
                    int answer = 0;
                    try {
                        answer = reporter_ ? reporter_(lastError_) : 0;
                    } catch (const process::ProgramEnded&) {
                        throw;
                    } catch (...) {
                        answer = 0;
                    }
                    if (answer == mb::Retry) break;  // repeat the failing step
                    if (answer == mb::Ignore) {
                        ++i;
                        break;
                    }
                    runCleanup(cleanup_);
                    return false;
                }
            }
        }
    }
    runCleanup(cleanup_);
    return true;
}

}  // namespace platform
