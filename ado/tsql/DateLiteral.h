#pragma once

#include <QString>
#include <optional>

#include "platform/Regional.h"

namespace ado::tsql {

// The stored form of a short-date text in the regional format, two- or four-digit year and an
// optional time ("2026-03-15" or "2026-03-15 14:07:00"); no value when the text is not one.
std::optional<QString> isoDate(const QString& text, const platform::Regional& regional);

}  // namespace ado::tsql
