// Dates and times as text in the ISO form the scene files and --now use:
// "2026-12-08" or "2026-12-08T09:05" or "2026-12-08T09:05:00".
#pragma once

#include "platform/services.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantelo::cli {

// Nothing when the text is not such a date (or names a day that does not
// exist, such as February 30). Without a time of day, midnight.
std::optional<LocalDateTime> ParseDateTime(std::string_view text);

// "2026-12-08" at midnight, else "2026-12-08T09:05:00".
std::string FormatDateTime(const LocalDateTime& when);

} // namespace vantelo::cli
