// What `settings check` shows of a check: the JSON for scripts and the table
// for people. The settings page shows the same JSON, so that its findings
// are the program's, word for word.
#pragma once

#include "cli/settings_check.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace vantelo::cli {

struct SettingsCheckReport {
  nlohmann::ordered_json json;
  std::string table;
};

SettingsCheckReport ReportSettingsCheck(const SettingsCheck& check);

// The table's last line when a value does not convert.
inline constexpr std::string_view kEverySaveFails =
    "Every save fails with this file: a value does not convert.";

} // namespace vantelo::cli
