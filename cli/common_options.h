// The options every subcommand takes: the output format and the regional
// settings that stand in for the user's.
#pragma once

#include "platform/services.h"

#include <memory>
#include <optional>
#include <string>

namespace vantelo::cli {

enum class OutputFormat { Json, Table };

struct CommonOptions {
  std::string format; // "json", "table" or empty: json unless standard output is a terminal
  std::optional<std::string> decimalSeparator;
  std::optional<std::string> timeSeparator;
};

// Throws UsageError for an unknown format.
OutputFormat ChooseFormat(const CommonOptions& options);

// The separators given on the command line, the user's locale for the
// others. Throws UsageError for an empty separator.
std::shared_ptr<RegionalSettings> ChooseRegionalSettings(const CommonOptions& options);

// --now: a clock fixed at that time; without it, the system clock.
// Throws UsageError for a text that is not a date and time.
std::shared_ptr<Clock> ChooseClock(const std::optional<std::string>& now);

} // namespace vantelo::cli
