// vantelo partslist: the parts-list total mass of the scene's active drawing,
// with the members a client sets.
#include "cli/addin_session.h"
#include "cli/commands.h"
#include "cli/member_assignments.h"
#include "cli/report.h"
#include "cli/scene_loader.h"

namespace vantelo::cli {

int RunPartsList(const PartsListArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const std::string decimalSeparator = regional->DecimalSeparator();
  const auto assignments = ParseAssignments(arguments.sets, decimalSeparator);
  const Scene scene = LoadSceneFile(arguments.scene);

  AddinSession session(scene, {regional, nullptr, nullptr});
  Outcome outcome = session.Activate();
  if (outcome.ok)
    outcome = session.Run([&](clsVantelo& addin) {
      ApplyAssignments(addin, assignments, decimalSeparator);
      addin.UpdateTotalMassInPartsList();
    });
  PrintReport(
      SessionReport(session, "partslist on " + ActiveDocumentName(scene), outcome, std::nullopt),
      format);
  return outcome.ok ? 0 : 1;
}

} // namespace vantelo::cli
