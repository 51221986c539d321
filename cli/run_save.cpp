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

  const auto print = [format](const Report& report) { PrintReport(report, format); };
  const Outcome outcome = SaveScene(scene, settings, regional, clock, arguments.timing, print);
  return outcome.ok ? 0 : 1;
}

Outcome SaveScene(const Scene& scene, const SettingsLocation& settings,
                  std::shared_ptr<RegionalSettings> regional, std::shared_ptr<Clock> clock,
                  std::int32_t timing, const std::function<void(const Report&)>& use) {
  AddinSession session(scene, {std::move(regional), std::move(clock), settings.modulePath});
  Outcome outcome = session.Activate();
  if (outcome.ok)
    outcome = session.Save(timing);
  use(SessionReport(session, "save " + ActiveDocumentName(scene), outcome, settings.path));
  return outcome;
}

} // namespace vantelo::cli
