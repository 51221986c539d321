// vantelo demo: every writer on the built-in documents, with a temporary
// settings file that enables them all, then the parts-list update.
#include "cli/addin_session.h"
#include "cli/commands.h"
#include "cli/demo_scene.h"
#include "cli/member_assignments.h"
#include "cli/report.h"
#include "cli/scene_loader.h"
#include "cli/temporary_directory.h"
#include "platform/module_path.h"
#include "platform/utf8_path.h"

#include <fstream>

namespace vantelo::cli {

int RunDemo(const DemoArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const std::string decimalSeparator = regional->DecimalSeparator();
  auto clock = ChooseClock(arguments.now);
  const Scene scene = ParseScene(DemoSceneJson(decimalSeparator), "the demo scene");
  const auto members = ParseAssignments(DemoPartsListMembers(), decimalSeparator);

  const TemporaryDirectory directory;
  {
    std::ofstream settings(PathFromUtf8(directory.Path()) / "Vantelo.ini", std::ios::binary);
    settings << DemoSettingsText();
  }
  auto module = std::make_shared<FixedModulePath>(directory.Path(), "Vantelo");
  AddinSession session(scene, {regional, clock, module});

  Report report;
  report.title = "demo";
  Outcome outcome = session.Activate();
  for (std::size_t i = 0; outcome.ok && i < scene.documents.size(); ++i) {
    session.SetActiveDocument(i);
    report.steps.push_back({"save", scene.documents[i].name, session.Save(event_timing::Before)});
  }
  for (std::size_t i = 0; outcome.ok && i < scene.documents.size(); ++i) {
    if (scene.documents[i].name != DemoPartsListDrawing())
      continue;
    session.SetActiveDocument(i);
    report.steps.push_back(
        {"partslist", scene.documents[i].name, session.Run([&](clsVantelo& addin) {
           ApplyAssignments(addin, members, decimalSeparator);
           addin.UpdateTotalMassInPartsList();
         })});
  }
  for (const Step& step : report.steps)
    if (outcome.ok && !step.outcome.ok)
      outcome = step.outcome;

  Report result = SessionReport(session, "demo", outcome, std::nullopt);
  result.steps = std::move(report.steps);
  PrintReport(result, format);
  return outcome.ok ? 0 : 1;
}

} // namespace vantelo::cli
