// The fault sweep: every public entry point of the add-in is run once cleanly
// on the stand-in host, its host operations are counted and checked against
// the script of what it should call, and then it is run again from scratch
// once for each of those operations with that operation failing. Each run
// must
//   - not crash, and leave no host reference held beyond the add-in's own;
//   - end as the script predicts: a failure before a writer's error skipping
//     (or in the dispatch, the command or Activate, which have none) reaches
//     the caller with the host's code, one after it never does;
//   - create, change or delete no property but the configured ones (and the
//     design-tracking mass and volume), in the active document or any other;
//   - write a mass or volume that could not be read nowhere;
//   - leave every key of the settings file with the value it had.
// The parts-list update has its own rule: any failure takes its failure path
// (one message box, "TotalMass" emptied) and only a failing reset reaches the
// caller. The totals are printed so that they can be quoted.
#include "platform/ascii_case.h"
#include "profile/profile_text.h"
#include "simhost/describe.h"
#include "support/addin_harness.h"
#include "support/failure_code.h"
#include "support/operation_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using Access = clsVanteloTestAccess;

constexpr std::int32_t kFault = static_cast<std::int32_t>(0x80041234);
constexpr const char* kSummaryInformation = "{F29F85E0-4FF9-1068-AB91-08002B27B3D9}";

// The property names the writers store under by default.
const std::vector<std::string> kWriterProperties = {
    "SaveDate",  "SaveTime",    "FirstViewScale", "AllViewScales", "PaperSize",
    "TotalMass", "TotalVolume", "SM_Extents",     "SM_Thickness",  "SM_Style"};

// Every configured property present (so that every delete runs), one that no
// writer owns, and a third property set that nobody writes. The
// design-tracking mass and volume hold "old" too.
sim::DocumentData Furnished(sim::DocumentData document) {
  sim::PropertySetData* user = document.PropertySet(fmtid::UserDefined);
  for (const std::string& name : kWriterProperties)
    user->properties.Add(name, std::string("old"));
  for (const std::int32_t id : {9, 43})
    document.PropertySet(fmtid::DesignTracking)->properties.SetValue(id, std::string("old"));
  user->properties.Add("Checked By", std::string("someone"));
  document.propertySets.push_back({.formatId = kSummaryInformation,
                                   .properties = {{.name = "Title", .value = std::string("T")}}});
  return document;
}

sim::DocumentData Part() {
  return Furnished({.name = "Part.ipt",
                    .type = document_type::Part,
                    .subType = subtype::Part,
                    .massProperties = sim::MassPropertiesData{.mass = 1.5, .volume = 2.25}});
}

sim::DocumentData Assembly() {
  return Furnished({.name = "Assembly.iam",
                    .type = document_type::Assembly,
                    .massProperties = sim::MassPropertiesData{.mass = 12.0, .volume = 100.0}});
}

sim::DocumentData Drawing() {
  return Furnished({.name = "Drawing.idw",
                    .type = document_type::Drawing,
                    .sheets = {{.size = PaperSizeCodeOf("A3"), .viewScales = {0.5, 0.25}},
                               {.size = PaperSizeCodeOf("A1"), .viewScales = {2, 0.5}}}});
}

sim::DocumentData SheetMetalPart(bool flatPattern) {
  sim::SheetMetalData sheetMetal{.thickness = 0.2, .thicknessUnits = "mm", .styleName = "Steel"};
  if (flatPattern)
    sheetMetal.flatPattern = sim::FlatPatternData{.minPoint = {0, 0, 0}, .maxPoint = {10, 5, 0.2}};
  return Furnished({.name = flatPattern ? "Flat.ipt" : "Folded.ipt",
                    .type = document_type::Part,
                    .subType = subtype::SheetMetalPart,
                    .massProperties = sim::MassPropertiesData{.mass = 0.8, .volume = 10.0},
                    .sheetMetal = sheetMetal});
}

sim::DocumentData Presentation() {
  return Furnished({.name = "Exploded.ipn", .type = document_type::Presentation});
}

// A drawing whose active sheet holds a parts list with rows in every unit.
sim::DocumentData PartsListDrawing() {
  sim::DocumentData drawing = Furnished({.name = "List.idw", .type = document_type::Drawing});
  drawing.sheets = {{.size = PaperSizeCodeOf("A3"), .viewScales = {1}},
                    {.size = PaperSizeCodeOf("A3"),
                     .partsLists = {{.columns = {"QTY", "MASS", "TOTAL"},
                                     .rows = {{"2", "1.5 kg", ""},
                                              {"3 pcs", "250 g", ""},
                                              {"1", "0.5 slug", ""},
                                              {"4", "11.0231 lbmass", "x"}}}}}};
  drawing.activeSheet = 1;
  return drawing;
}

// Open in the host but not active: nothing may touch it.
sim::DocumentData Bystander() {
  sim::DocumentData other = Drawing();
  other.name = "Bystander.idw";
  other.sheets[0].partsLists = {{.columns = {"QTY", "MASS", "TOTAL"}, .rows = {{"1", "1 kg", ""}}}};
  return other;
}

enum class Entry { Activate, Save, Command, PartsList };

struct SweepCase {
  std::string name;
  Entry entry;
  std::function<std::optional<sim::DocumentData>()> document; // none: no active document
};

std::vector<SweepCase> Cases() {
  using Doc = std::optional<sim::DocumentData>;
  const std::vector<std::pair<std::string, std::function<Doc()>>> documents = {
      {"a part", [] { return Doc(Part()); }},
      {"an assembly", [] { return Doc(Assembly()); }},
      {"a drawing with two sheets", [] { return Doc(Drawing()); }},
      {"a sheet-metal part with flat pattern", [] { return Doc(SheetMetalPart(true)); }},
      {"a sheet-metal part without flat pattern", [] { return Doc(SheetMetalPart(false)); }},
      {"a document of another type", [] { return Doc(Presentation()); }},
      {"no active document", [] { return Doc(); }},
  };
  std::vector<SweepCase> cases;
  cases.push_back({"Activate", Entry::Activate, [] { return Doc(Part()); }});
  for (const auto& [what, document] : documents)
    cases.push_back({"save of " + what, Entry::Save, document});
  for (const auto& [what, document] : documents)
    cases.push_back({"command 1 on " + what, Entry::Command, document});
  cases.push_back({"parts-list update on a drawing with rows", Entry::PartsList,
                   [] { return Doc(PartsListDrawing()); }});
  return cases;
}

// What a call may change in a document.
struct Allowed {
  std::set<std::string> userProperties; // names in the user-defined set
  bool designTrackingMassVolume = false;
  bool totalMassColumn = false;
};

Allowed AllowedFor(Entry entry) {
  switch (entry) {
  case Entry::Save:
  case Entry::Command:
    return {{kWriterProperties.begin(), kWriterProperties.end()}, true, false};
  case Entry::PartsList:
    return {{"TotalMass"}, false, true};
  case Entry::Activate:
    break;
  }
  return {};
}

// Everything in the document that the call must leave alone, as text.
std::string Untouchable(const sim::DocumentData& document, const Allowed& allowed) {
  std::string text;
  for (const sim::PropertySetData& set : document.propertySets) {
    text += set.formatId + "\n";
    const bool user = EqualsIgnoringAsciiCase(set.formatId, fmtid::UserDefined);
    const bool tracking = EqualsIgnoringAsciiCase(set.formatId, fmtid::DesignTracking);
    for (const sim::PropertyData& property : set.properties) {
      if (user && allowed.userProperties.count(property.name))
        continue;
      if (tracking && allowed.designTrackingMassVolume && (property.id == 9 || property.id == 43))
        continue;
      text += "  " + std::to_string(property.id) + " " + property.name + " = " +
              sim::Describe(property.value) + "\n";
    }
  }
  for (const sim::SheetData& sheet : document.sheets)
    for (const sim::PartsListData& list : sheet.partsLists)
      for (const auto& row : list.rows)
        for (std::size_t column = 0; column < row.size(); ++column)
          if (!(allowed.totalMassColumn && list.columns[column] == "TOTAL"))
            text += "  cell " + row[column] + "\n";
  return text;
}

// Every section and key of a settings file, as a simple reader sees them
// (the file the sweep starts from holds only plain lines).
std::vector<std::pair<std::string, std::string>> KeysOf(const std::string& file) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  std::size_t start = 0;
  while (start < file.size()) {
    std::size_t end = file.find('\n', start);
    if (end == std::string::npos)
      end = file.size();
    std::string line = file.substr(start, end - start);
    if (!line.empty() && line.front() == '[')
      section = line.substr(1, line.find(']') - 1);
    else if (const auto equals = line.find('='); equals != std::string::npos)
      keys.emplace_back(section, line.substr(0, equals));
    start = end + 1;
  }
  return keys;
}

// The whole catalogue with every writer enabled, except the time-stamp
// section: its two keys (and the blank list separator, which reads as
// empty) are written back at every save.
std::string SweepSettings() {
  std::string settings = ReadBytes(std::string(VANTELO_TEST_DATA) + "/fresh_settings.ini");
  settings = settings.substr(0, settings.find("[TimeStamp Options]"));
  for (std::size_t at = 0; (at = settings.find("=False", at)) != std::string::npos;)
    settings.replace(at, 6, "=True");
  return settings;
}

// One run of an entry point, from scratch, with the given operation failing
// (0: none).
struct Run {
  std::unique_ptr<AddinHarness> h;
  sim::DocumentData* active = nullptr;
  sim::DocumentData* bystander = nullptr;
  std::string activeBefore, bystanderBefore, settingsBefore;
  std::int32_t code = 0;
  std::vector<std::string> operations;
};

Run Execute(const SweepCase& sweepCase, std::uint64_t failing) {
  Run run;
  run.h = std::make_unique<AddinHarness>();
  AddinHarness& h = *run.h;
  h.WriteSettings(SweepSettings());
  run.bystander = &h.host.AddDocument(Bystander());
  if (auto document = sweepCase.document())
    run.active = &h.host.AddDocument(std::move(*document));
  if (sweepCase.entry != Entry::Activate)
    h.Activate();
  h.host.SetActiveDocument(run.active);
  clsVantelo& addin = *h.addin;
  if (sweepCase.entry == Entry::Command) {
    h.UseDefaultSettings(); // the members as the last save left them
    addin.ExcludeFirstInAllScales = true;
  }
  if (sweepCase.entry == Entry::PartsList)
    UsePartsListColumns(addin);

  const Allowed allowed = AllowedFor(sweepCase.entry);
  if (run.active)
    run.activeBefore = Untouchable(*run.active, allowed);
  run.bystanderBefore = Untouchable(*run.bystander, {});
  run.settingsBefore = h.ReadSettings();

  h.host.ClearOperations();
  h.host.ClearFaults();
  if (failing > 0)
    h.host.FailOperationNumber(failing, kFault);
  switch (sweepCase.entry) {
  case Entry::Activate:
    run.code = FailureCode([&] { addin.Activate(h.host.AddInSite(), true); });
    break;
  case Entry::Save:
    run.code = h.host.FireSaveDocument(run.active, event_timing::Before, 0).code;
    break;
  case Entry::Command:
    run.code = FailureCode([&] { addin.ExecuteCommand(1); });
    break;
  case Entry::PartsList:
    run.code = FailureCode([&] { addin.UpdateTotalMassInPartsList(); });
    break;
  }
  run.operations = h.host.Operations();
  h.host.ClearFaults();
  return run;
}

class Violations {
public:
  void Check(bool ok, const std::string& what) {
    if (ok)
      return;
    if (messages_.size() < 40)
      messages_.push_back(what);
    ++count_;
  }
  std::size_t Count() const { return count_; }
  const std::vector<std::string>& Messages() const { return messages_; }

private:
  std::size_t count_ = 0;
  std::vector<std::string> messages_;
};

std::string Hex(std::int32_t code) { return HresultText(code); }

// The checks every run shares: references, properties, settings file.
void CheckAftermath(const SweepCase& sweepCase, const Run& run, std::uint64_t failing,
                    const std::string& where, Violations& v) {
  const AddinHarness& h = *run.h;
  if (sweepCase.entry == Entry::Activate) {
    // The application stays once step 1 got it; the events object and the
    // connection only when all went through.
    std::map<std::string, std::size_t> expected;
    if (failing != 1)
      expected["Application"] = 1;
    if (failing == 0)
      expected["ApplicationEvents"] = 1;
    v.Check(h.host.LiveReferencesByInterface() == expected, where + ": references held");
    v.Check(h.host.LiveConnections() == (failing == 0 ? 1u : 0u), where + ": event connection");
  } else {
    v.Check(static_cast<bool>(h.HoldsOnlyItsOwnReferences()),
            where + ": " + h.HoldsOnlyItsOwnReferences().message());
    // Only the save refreshes ActiveDoc, in its first operation.
    const bool activeDocSet =
        sweepCase.entry == Entry::Save && run.active != nullptr && failing != 1;
    v.Check(static_cast<bool>(Access::ActiveDoc(*h.addin)) == activeDocSet, where + ": ActiveDoc");
  }

  if (run.active)
    v.Check(Untouchable(*run.active, AllowedFor(sweepCase.entry)) == run.activeBefore,
            where + ": something besides the configured properties changed:\n" +
                Untouchable(*run.active, AllowedFor(sweepCase.entry)));
  v.Check(Untouchable(*run.bystander, {}) == run.bystanderBefore,
          where + ": the document that is not active changed");

  const std::string settings = h.ReadSettings();
  for (const auto& [section, key] : KeysOf(run.settingsBefore)) {
    const auto before = profile_text::Lookup(run.settingsBefore, section, key);
    const auto now = profile_text::Lookup(settings, section, key);
    v.Check(now && before && *now == *before,
            where + ": settings key " + section + "/" + key + " lost or changed");
  }

  const std::size_t boxes = h.messages->Records().size();
  if (sweepCase.entry == Entry::PartsList)
    v.Check(boxes == (failing == 0 ? 0u : 1u), where + ": " + std::to_string(boxes) + " boxes");
  else
    v.Check(boxes == 0, where + ": a message box was shown");
}

// A mass or volume whose read failed is written nowhere: its user-defined
// property stays deleted and its design-tracking one keeps its value.
void CheckUnreadNotWritten(const Run& run, const ScriptedOperation& operation,
                           const std::string& where, Violations& v) {
  const auto unwritten = [&](const char* user, const char* tracked) {
    const sim::PropertyData* kept = run.active->Property(fmtid::DesignTracking, tracked);
    v.Check(UserProperty(*run.active, user) == "<missing>" && kept &&
                kept->value == Value(std::string("old")),
            where + ": " + user + " was written though it could not be read");
  };
  if (operation.readsMass)
    unwritten("TotalMass", "Mass");
  if (operation.readsVolume)
    unwritten("TotalVolume", "Volume");
}

struct Totals {
  std::size_t calls = 0, operations = 0, outward = 0, injected = 0;
  std::size_t unread = 0; // runs whose failure left the mass or volume unknown
};

// The parts-list update takes its drawing in its first two operations
// (active document, interface query); a failure there leaves the reset
// without a drawing, and only that reaches the caller.
constexpr std::uint64_t kPartsListDrawingOps = 2;

void Sweep(const SweepCase& sweepCase, Totals& totals, Violations& v) {
  const Run clean = Execute(sweepCase, 0);
  std::optional<OperationScript> script;
  std::int32_t cleanCode = 0;
  switch (sweepCase.entry) {
  case Entry::Activate:
    script = ActivateScript();
    break;
  case Entry::Save:
    script = SaveScript(clean.active, true);
    break;
  case Entry::Command:
    script = CommandScript(clean.active, true);
    break;
  case Entry::PartsList:
    v.Check(clean.operations.size() > kPartsListDrawingOps &&
                clean.operations[0] == "Application.ActiveDocument" &&
                clean.operations[1] == "Document.AsDrawingDocument",
            sweepCase.name + ": the drawing is not taken first");
    break;
  }
  // With no active document the type test fails on Nothing.
  if (sweepCase.entry != Entry::Activate && sweepCase.entry != Entry::PartsList && !clean.active)
    cleanCode = hresult::ObjectNotSet;

  v.Check(clean.code == cleanCode,
          sweepCase.name + ": the clean run ended with " + Hex(clean.code));
  if (script) {
    const bool asScripted = Names(*script) == clean.operations;
    std::string record;
    for (const std::string& name : clean.operations)
      record += "\n  " + name;
    v.Check(asScripted,
            sweepCase.name + ": the clean run's operations differ from the script:" + record);
    if (!asScripted)
      return; // the predictions below would not apply
  }
  CheckAftermath(sweepCase, clean, 0, sweepCase.name + " (clean)", v);

  std::size_t outward = 0;
  for (std::uint64_t n = 1; n <= clean.operations.size(); ++n) {
    const Run run = Execute(sweepCase, n);
    const std::string where =
        sweepCase.name + ", operation " + std::to_string(n) + " " + clean.operations[n - 1];
    std::int32_t expected = cleanCode;
    if (script) {
      const ScriptedOperation& operation = (*script)[n - 1];
      if (operation.outward) {
        expected = kFault;
        ++outward;
      }
      v.Check(run.code == expected,
              where + " (" + operation.owner + ", " + (operation.outward ? "outward" : "silent") +
                  "): ended with " + Hex(run.code) + ", not " + Hex(expected));
      CheckUnreadNotWritten(run, operation, where, v);
      if (operation.readsMass || operation.readsVolume)
        ++totals.unread;
    } else {
      expected = n <= kPartsListDrawingOps ? hresult::ObjectNotSet : 0;
      v.Check(run.code == expected, where + ": ended with " + Hex(run.code));
      if (n > kPartsListDrawingOps)
        v.Check(UserProperty(*run.active, "TotalMass") == "", where + ": TotalMass not emptied");
    }
    CheckAftermath(sweepCase, run, n, where, v);
    ++totals.injected;
  }
  ++totals.calls;
  totals.operations += clean.operations.size();
  totals.outward += outward;
  std::cout << "  " << sweepCase.name << ": " << clean.operations.size() << " operations, ";
  if (script)
    std::cout << outward << " of them outward\n";
  else
    std::cout << "each failure takes the failure path\n";
}

TEST(FaultSweep, EveryHostOperationOfEveryEntryPointFailedOnce) {
  Totals totals;
  Violations violations;
  for (const SweepCase& sweepCase : Cases())
    Sweep(sweepCase, totals, violations);

  std::cout << "fault sweep: " << totals.calls << " calls swept, " << totals.operations
            << " host operations (" << totals.outward << " outward), " << totals.injected
            << " failures injected (" << totals.unread << " leaving the mass or volume unread), "
            << violations.Count() << " violations\n";
  for (const std::string& message : violations.Messages())
    ADD_FAILURE() << message;
  EXPECT_EQ(violations.Count(), 0u);
  EXPECT_EQ(totals.calls, Cases().size());
}

} // namespace
} // namespace vantelo::test
