#pragma once

#include <functional>

#include "platform/Failure.h"

// The number of the failure an action raises; 0 when it raises none.
inline qint32 failureNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const platform::Failure& e) {
        return e.info().number;
    }
    return 0;
}
