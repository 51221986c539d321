// vantelo command: the add-in's command on the scene's active document,
// with the members from a settings file and --set.
#include "addin/vb_conversions.h"
#include "cli/addin_session.h"
#include "cli/commands.h"
#include "cli/member_assignments.h"
#include "cli/report.h"
#include "cli/scene_loader.h"
#include "cli/settings_location.h"
#include "config/settings_catalogue.h"

namespace vantelo::cli {

int RunCommand(const CommandArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const std::string decimalSeparator = regional->DecimalSeparator();
  auto clock = ChooseClock(arguments.now);
  const auto assignments = ParseAssignments(arguments.sets, decimalSeparator);
  const Scene scene = LoadSceneFile(arguments.scene);
  std::optional<SettingsLocation> settings;
  if (arguments.settings) {
    settings = LocateSettings(arguments.settings);
    RequireReachable(settings->path);
  }

  AddinSession session(scene, {regional, clock, settings ? settings->modulePath : nullptr});
  Outcome outcome = session.Activate();
  if (outcome.ok && settings)
    outcome = session.Run([&](clsVantelo& addin) {
      // The module path points at the settings file, so the add-in finds it
      // by its own rule, as a save would.
      std::string iniFile = addin.IniFilePath();
      addin.LoadSettings(iniFile);
    });
  if (outcome.ok)
    outcome = session.Run([&](clsVantelo& addin) {
      ApplyAssignments(addin, assignments, decimalSeparator);
      addin.ExecuteCommand(arguments.id);
    });
  PrintReport(
      SessionReport(session,
                    "command " + std::to_string(arguments.id) + " on " + ActiveDocumentName(scene),
                    outcome, settings ? std::optional(settings->path) : std::nullopt),
      format);
  return outcome.ok ? 0 : 1;
}

} // namespace vantelo::cli
