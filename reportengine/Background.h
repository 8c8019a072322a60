#pragma once

#include <QString>
#include <functional>

namespace reportengine {

// Runs `work` on a thread of its own while this thread keeps the windows painting; once it has
// taken `after` milliseconds the banner says what is being waited for. What `work` raises is
// raised here. `work` must not show anything itself.
void waitShowing(const QString& what, const std::function<void()>& work, int after = 1000);

}  // namespace reportengine
