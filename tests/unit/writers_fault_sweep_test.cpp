// Every host operation of every writer failed once: a failure before the
// writer's error skipping reaches the caller with the host's code and leaves
// the document unchanged; a failure after it is silent. Nothing crashes and
// the writer keeps no reference.
#include "simhost/describe.h"
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using Access = clsVanteloTestAccess;
using Ops = std::vector<std::string>;

constexpr std::int32_t kFault = static_cast<std::int32_t>(0x80041234);

void AddText(sim::DocumentData& document, const char* name) {
  document.propertySets[0].properties.Add({.name = name, .value = std::string("old")});
}

// Documents that reach every operation of the writers, with every property
// already present so that every delete runs.
sim::DocumentData Drawing() {
  sim::DocumentData drawing{
      .name = "A.idw",
      .type = document_type::Drawing,
      .sheets = {{.size = 9996, .viewScales = {0.5, 0.25}}, {.size = 9994, .viewScales = {2}}}};
  for (const char* name : {"FirstViewScale", "AllViewScales", "PaperSize"})
    AddText(drawing, name);
  return drawing;
}

sim::DocumentData SheetMetalPart() {
  sim::DocumentData part{
      .name = "S.ipt",
      .type = document_type::Part,
      .subType = subtype::SheetMetalPart,
      .massProperties = sim::MassPropertiesData{.mass = 1.5, .volume = 2.0},
      .sheetMetal = sim::SheetMetalData{
          .thickness = 0.2,
          .thicknessUnits = "mm",
          .styleName = "Steel",
          .flatPattern = sim::FlatPatternData{.minPoint = {0, 0, 0}, .maxPoint = {10, 5, 1}}}};
  for (const char* name : {"SaveDate", "SaveTime", "TotalMass", "TotalVolume", "SM_Extents",
                           "SM_Thickness", "SM_Style"})
    AddText(part, name);
  return part;
}

struct WriterCase {
  const char* name;
  std::function<sim::DocumentData()> document;
  std::function<void(clsVantelo&)> run;
  // How many of the clean run's operations come before error skipping.
  std::function<std::size_t(const Ops&)> outward;
};

template <std::size_t N> std::size_t First(const Ops&) { return N; }

// Up to the active document that starts the store.
std::size_t BeforeTheStore(const Ops& ops) {
  const auto sets = std::find(ops.begin(), ops.end(), "Document.PropertySets");
  return static_cast<std::size_t>(sets - ops.begin()) - 1;
}

std::vector<WriterCase> Cases() {
  return {
      {"TimeStamp", SheetMetalPart, [](clsVantelo& a) { a.TimeStamp(); }, First<0>},
      // The active document taken as a drawing.
      {"ViewScale_First", Drawing, [](clsVantelo& a) { Access::ViewScale_First(a); }, First<2>},
      {"ViewScale_All", Drawing, [](clsVantelo& a) { Access::ViewScale_All(a); }, First<2>},
      {"PaperSize", Drawing, [](clsVantelo& a) { a.PaperSize(); }, BeforeTheStore},
      {"Mass_Volume", SheetMetalPart, [](clsVantelo& a) { a.Mass_Volume(); }, First<0>},
      {"SheetMetal_Style", SheetMetalPart, [](clsVantelo& a) { a.SheetMetal_Style(); },
       BeforeTheStore},
  };
}

TEST(WriterFaultSweep, EveryOperationFailedOnce) {
  for (const WriterCase& writer : Cases()) {
    AddinHarness h;
    h.UseDefaultSettings();
    h.addin->ExcludeFirstInAllScales = true;

    auto& clean = h.host.AddDocument(writer.document());
    h.MakeActive(&clean);
    h.host.ClearOperations();
    ASSERT_EQ(FailureCode([&] { writer.run(*h.addin); }), 0) << writer.name;
    const Ops ops = h.host.Operations();
    const std::size_t outward = writer.outward(ops);
    ASSERT_LE(outward, ops.size());

    for (std::size_t n = 1; n <= ops.size(); ++n) {
      const std::string where =
          std::string(writer.name) + ": operation " + std::to_string(n) + " " + ops[n - 1];
      auto& document = h.host.AddDocument(writer.document());
      const std::string before = sim::DescribePropertySets(document);
      h.MakeActive(&document);
      h.host.ClearOperations();
      h.host.ClearFaults();
      h.host.FailOperationNumber(n, kFault);
      const std::int32_t code = FailureCode([&] { writer.run(*h.addin); });
      if (n <= outward) {
        EXPECT_EQ(code, kFault) << where;
        EXPECT_EQ(sim::DescribePropertySets(document), before) << where;
        EXPECT_EQ(h.host.OperationCount(), n) << where;
      } else {
        EXPECT_EQ(code, 0) << where;
      }
      EXPECT_TRUE(h.HoldsOnlyItsOwnReferences()) << where;
      h.host.ClearFaults();
      h.host.RemoveDocument(document);
    }
  }
}

} // namespace
} // namespace vantelo::test
