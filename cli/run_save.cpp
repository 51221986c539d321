// vantelo save: one save notification for the scene's active document.
#include "cli/addin_session.h"
#include "cli/commands.h"
#include "cli/report.h"
#include "cli/scene_loader.h"
#include "cli/settings_location.h"

namespace vantelo::cli {

int RunSave(const SaveArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  auto clock = ChooseClock(arguments.now);
  const Scene scene = LoadSceneFile(arguments.scene);
  const SettingsLocation settings = LocateSettings(arguments.settings);
  RequireReachable(settings.path);

  const Report report = SaveScene(scene, settings, regional, clock, arguments.timing);
  PrintReport(report, format);
  return report.outcome.ok ? 0 : 1;
}

Report SaveScene(const Scene& scene, const SettingsLocation& settings,
                 std::shared_ptr<RegionalSettings> regional, std::shared_ptr<Clock> clock,
                 std::int32_t timing) {
  AddinSession session(scene, {std::move(regional), std::move(clock), settings.modulePath});
  Outcome outcome = session.Activate();
  if (outcome.ok)
    outcome = session.Save(timing);
  return SessionReport(session, "save " + ActiveDocumentName(scene), outcome, settings.path);
}

} // namespace vantelo::cli
