// The subcommands of the vantelo program. Each returns the exit status: 0
// when the add-in operation succeeded, 1 when it returned an error. Bad usage
// or bad input throws UsageError (exit status 2) before anything is written;
// any other exception is an internal error (exit status 3).
#pragma once

#include "addin/host_codes.h"
#include "cli/addin_session.h"
#include "cli/common_options.h"
#include "cli/report.h"
#include "cli/scene.h"
#include "cli/settings_location.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantelo::cli {

struct SaveArguments {
  std::string scene;
  std::optional<std::string> settings;
  std::int32_t timing = event_timing::Before;
  std::optional<std::string> now;
};
int RunSave(const SaveArguments& arguments, const CommonOptions& common);
// What `save` runs and reports once its arguments are read: the add-in
// activated on the scene's documents and one save notification for the
// active one, with the settings file at the place given. The settings page
// runs its previews through this too. The report points into the run, so
// `use` is given it while the run lasts; the outcome is the save's.
Outcome SaveScene(const Scene& scene, const SettingsLocation& settings,
                  std::shared_ptr<RegionalSettings> regional, std::shared_ptr<Clock> clock,
                  std::int32_t timing, const std::function<void(const Report&)>& use);

struct CommandArguments {
  std::string scene;
  std::int32_t id = 1;
  std::vector<std::string> sets;
  std::optional<std::string> settings;
  std::optional<std::string> now;
};
int RunCommand(const CommandArguments& arguments, const CommonOptions& common);

struct PartsListArguments {
  std::string scene;
  std::vector<std::string> sets;
};
int RunPartsList(const PartsListArguments& arguments, const CommonOptions& common);

struct DemoArguments {
  std::optional<std::string> now;
};
int RunDemo(const DemoArguments& arguments, const CommonOptions& common);

struct SettingsArguments {
  std::string file;
  std::string section;
  std::string key;
  std::optional<std::string> value; // the default for get, the value for set
  std::optional<std::string> from;  // install: the file to copy
};
int RunSettingsInit(const SettingsArguments& arguments, const CommonOptions& common);
int RunSettingsInstall(const SettingsArguments& arguments, const CommonOptions& common);
int RunSettingsCheck(const SettingsArguments& arguments, const CommonOptions& common);
int RunSettingsGet(const SettingsArguments& arguments, const CommonOptions& common);
int RunSettingsSet(const SettingsArguments& arguments, const CommonOptions& common);

} // namespace vantelo::cli
