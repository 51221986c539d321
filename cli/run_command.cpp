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

namespace {

// Loads the file-backed settings into the members as a save does: each in
// catalogue order through the class's GetFromINI, converted as the member's
// type, the first failure ending the load. This is what a client of the
// class does to load them, as the save's own loading is not on the interface.
void LoadSettingsAsClient(clsVantelo& addin, ModulePath& module,
                          std::string_view decimalSeparator) {
  std::string iniFile = module.Directory() + "\\" + module.BaseName() + ".ini";
  for (const Setting& setting : SettingsCatalogue()) {
    std::string section(setting.section), key(setting.key()), defaultText(setting.defaultText);
    const std::string text = addin.GetFromINI(section, key, defaultText, iniFile);
    SetMemberFromText(addin, setting.member, text, decimalSeparator);
  }
}

} // namespace

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
    RequireReadable(settings->path);
    RequireWritable(settings->path);
  }

  AddinSession session(scene, {regional, clock, settings ? settings->modulePath : nullptr});
  Outcome outcome = session.Activate();
  if (outcome.ok && settings)
    outcome = session.Run([&](clsVantelo& addin) {
      LoadSettingsAsClient(addin, *settings->modulePath, decimalSeparator);
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
