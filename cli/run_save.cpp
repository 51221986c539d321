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

  AddinSession session(scene, {regional, clock, settings.modulePath});
  Outcome outcome = session.Activate();
  if (outcome.ok)
    outcome = session.Save(arguments.timing);
  PrintReport(SessionReport(session, "save " + ActiveDocumentName(scene), outcome, settings.path),
              format);
  return outcome.ok ? 0 : 1;
}

} // namespace vantelo::cli
