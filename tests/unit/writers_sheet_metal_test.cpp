// SheetMetal_Style on parts of the stand-in host: extents, thickness, style,
// and the two phases' failure rules.
#include "simhost/describe.h"
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantelo::test {
namespace {

sim::DocumentData SheetMetalPart(std::optional<sim::FlatPatternData> flat, double thickness = 0.2) {
  return {.name = "S.ipt",
          .type = document_type::Part,
          .subType = subtype::SheetMetalPart,
          .units = {.lengthUnits = units::Millimeter, .displayPrecision = 1},
          .sheetMetal = sim::SheetMetalData{.thickness = thickness,
                                            .thicknessUnits = "mm",
                                            .styleName = "Steel 2mm",
                                            .flatPattern = flat}};
}

sim::FlatPatternData Flat(double x1, double y1, double x2, double y2) {
  return {.minPoint = {x1, y1, 0.0}, .maxPoint = {x2, y2, 3.0}};
}

class SheetMetal : public SeparatorTest {
protected:
  sim::DocumentData& Run(sim::DocumentData data) {
    return RunWriter(std::move(data), [](clsVantelo& addin) { addin.SheetMetal_Style(); });
  }
};

TEST_P(SheetMetal, ThicknessStyleAndExtentsAreStored) {
  const auto& part = Run(SheetMetalPart(Flat(0.0, 0.0, 12.5, 4.0)));
  EXPECT_EQ(UserProperty(part, "SM_Thickness"), "2 mm");
  EXPECT_EQ(UserProperty(part, "SM_Style"), "Steel 2mm");
  // The host's length text keeps its own "." whatever the regional setting.
  EXPECT_EQ(UserProperty(part, "SM_Extents"), "125.0 mm x 40.0 mm");
}

TEST_P(SheetMetal, ThicknessIsInMillimetresToFifteenDigits) {
  for (const auto& [thickness, text] : std::vector<std::pair<double, std::string>>{
           {0.14, "1.4 mm"}, {0.15, "1.5 mm"}, {0.2, "2 mm"}, {0.1 / 3, "0.333333333333333 mm"}}) {
    const auto& part = Run(SheetMetalPart(std::nullopt, thickness));
    EXPECT_EQ(UserProperty(part, "SM_Thickness"), Expected(text)) << thickness;
  }
}

TEST_P(SheetMetal, ExtentsAreNonNegativeFirstCoordinateFirst) {
  struct Row {
    sim::FlatPatternData flat;
    const char* text;
  };
  for (const Row& row : {Row{Flat(10.0, 2.0, 0.0, 0.0), "100.0 mm x 20.0 mm"},
                         Row{Flat(-1.0, 5.0, 1.0, -5.0), "20.0 mm x 100.0 mm"},
                         Row{Flat(0.0, 0.0, 0.0, 0.0), "0.0 mm x 0.0 mm"}}) {
    const auto& part = Run(SheetMetalPart(row.flat));
    EXPECT_EQ(UserProperty(part, "SM_Extents"), row.text);
  }
  // In a document with another length unit the host's text is in inches.
  auto inches = SheetMetalPart(Flat(0.0, 0.0, 2.54, 5.08));
  inches.units.lengthUnits = units::Inch;
  EXPECT_EQ(UserProperty(Run(std::move(inches)), "SM_Extents"), "1.0 in x 2.0 in");
}

TEST_P(SheetMetal, WithoutAFlatPatternTheExtentsTakeTheFallback) {
  EXPECT_EQ(UserProperty(Run(SheetMetalPart(std::nullopt)), "SM_Extents"), "N/A");
  h.addin->SMExtentsSizeIfNotAvailable = "";
  const auto& part = Run(SheetMetalPart(std::nullopt));
  EXPECT_EQ(UserProperty(part, "SM_Extents"), "");
  EXPECT_EQ(UserProperty(part, "SM_Thickness"), "2 mm");
  EXPECT_EQ(UserProperty(part, "SM_Style"), "Steel 2mm");
}

TEST_P(SheetMetal, EarlierValuesAreReplacedDeletionsFirst) {
  auto data = SheetMetalPart(std::nullopt);
  data.propertySets[0].properties.Add({.name = "SM_Style", .value = 7.0});
  data.propertySets[0].properties.Add({.name = "SM_Thickness", .value = Date{2.0}});
  const auto& part = Run(std::move(data));
  EXPECT_EQ(UserProperty(part, "SM_Style"), "Steel 2mm");
  EXPECT_EQ(UserProperty(part, "SM_Thickness"), "2 mm");
  const auto ops = h.host.Operations();
  const std::vector<std::string> tail(ops.end() - 8, ops.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"PropertySet.Item", "Property.Delete", "PropertySet.Item",
                                      "Property.Delete", "PropertySet.Item", "PropertySet.Add",
                                      "PropertySet.Add", "PropertySet.Add"}));
}

TEST_P(SheetMetal, APartThatIsNotSheetMetalIsLeftAlone) {
  for (const char* subType : {subtype::Part, "{9c464203-9bae-11d3-8bad-0060b0ce6bb4}", ""}) {
    auto data = SheetMetalPart(Flat(0.0, 0.0, 1.0, 1.0));
    data.subType = subType;
    data.propertySets[0].properties.Add({.name = "SM_Style", .value = std::string("old")});
    const std::string before = sim::DescribePropertySets(data);
    const auto& part = Run(std::move(data));
    EXPECT_EQ(sim::DescribePropertySets(part), before) << subType;
    EXPECT_EQ(h.host.Operations(),
              (std::vector<std::string>{"Application.ActiveDocument", "Document.AsPartDocument",
                                        "PartDocument.SubType"}));
  }
}

TEST_P(SheetMetal, ReadingFailuresReachTheCallerBeforeAnythingIsDeleted) {
  auto& assembly = h.host.AddDocument({.name = "A.iam", .type = document_type::Assembly});
  h.MakeActive(&assembly);
  EXPECT_EQ(FailureCode([&] { h.addin->SheetMetal_Style(); }), hresult::NoInterface);

  for (const char* operation : {"Parameter.Value", "SheetMetalStyle.Name", "FlatPattern.Body",
                                "Point.Y", "UnitsOfMeasure.GetStringFromValue"}) {
    auto data = SheetMetalPart(Flat(0.0, 0.0, 1.0, 1.0));
    data.propertySets[0].properties.Add({.name = "SM_Style", .value = std::string("old")});
    auto& part = h.host.AddDocument(std::move(data));
    const std::string before = sim::DescribePropertySets(part);
    h.MakeActive(&part);
    h.host.ClearFaults();
    h.host.FailOperation(operation, hresult::Fail);
    EXPECT_EQ(FailureCode([&] { h.addin->SheetMetal_Style(); }), hresult::Fail) << operation;
    EXPECT_EQ(sim::DescribePropertySets(part), before) << operation;
    EXPECT_TRUE(h.HoldsOnlyItsOwnReferences()) << operation;
  }
}

TEST_P(SheetMetal, StoringFailuresAreSilent) {
  auto& part = h.host.AddDocument(SheetMetalPart(std::nullopt));
  h.MakeActive(&part);
  h.host.FailOperationCall("PropertySet.Add", 2, hresult::Fail);
  EXPECT_EQ(FailureCode([&] { h.addin->SheetMetal_Style(); }), 0);
  EXPECT_EQ(UserProperty(part, "SM_Thickness"), "2 mm");
  EXPECT_EQ(UserProperty(part, "SM_Style"), "<missing>");
  EXPECT_EQ(UserProperty(part, "SM_Extents"), "N/A");
}

INSTANTIATE_TEST_SUITE_P(Separators, SheetMetal, ::testing::Values(".", ","), SeparatorName);

} // namespace
} // namespace vantelo::test
