#include "cli/common_options.h"

#include "cli/date_text.h"
#include "cli/program_platform.h"
#include "cli/usage_error.h"
#include "platform/clocks.h"
#include "platform/regional_settings.h"

namespace vantelo::cli {

OutputFormat ChooseFormat(const CommonOptions& options) {
  if (options.format == "json")
    return OutputFormat::Json;
  if (options.format == "table")
    return OutputFormat::Table;
  if (!options.format.empty())
    throw UsageError("--format: unknown format \"" + options.format + "\"; expected json or table");
  return StandardOutputIsTerminal() ? OutputFormat::Table : OutputFormat::Json;
}

std::shared_ptr<RegionalSettings> ChooseRegionalSettings(const CommonOptions& options) {
  if (options.decimalSeparator && options.decimalSeparator->empty())
    throw UsageError("--decimal-separator: the separator must not be empty");
  if (options.timeSeparator && options.timeSeparator->empty())
    throw UsageError("--time-separator: the separator must not be empty");
  if (!options.decimalSeparator && !options.timeSeparator)
    return UserRegionalSettings();
  const auto user = UserRegionalSettings();
  return std::make_shared<FixedRegionalSettings>(
      options.decimalSeparator.value_or(user->DecimalSeparator()),
      options.timeSeparator.value_or(user->TimeSeparator()));
}

std::shared_ptr<Clock> ChooseClock(const std::optional<std::string>& now) {
  if (!now)
    return nullptr; // the system's clock
  const auto when = ParseDateTime(*now);
  if (!when)
    throw UsageError("--now: \"" + *now +
                     "\" is not a date and time; expected the form 2026-12-08T09:05:00");
  return std::make_shared<FixedClock>(*when);
}

} // namespace vantelo::cli
