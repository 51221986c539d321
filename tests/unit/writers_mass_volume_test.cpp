// Mass_Volume on parts and assemblies of the stand-in host: unit tables,
// rounding, both property sets, and what a failed step leads to.
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantelo::test {
namespace {

constexpr std::int32_t kFault = static_cast<std::int32_t>(0x80041234);

sim::DocumentData Part(Value mass, Value volume, std::int32_t massUnits = units::Kilogram,
                       std::int32_t lengthUnits = units::Millimeter) {
  return {.name = "P.ipt",
          .type = document_type::Part,
          .units = {.massUnits = massUnits, .lengthUnits = lengthUnits},
          .massProperties = sim::MassPropertiesData{.mass = mass, .volume = volume}};
}

// The design-tracking property with that identifier, as text.
std::string Tracked(const sim::DocumentData& document, std::int32_t id) {
  const auto* property = document.PropertySet(fmtid::DesignTracking)->properties.FindById(id);
  if (!property)
    return "<missing>";
  const auto* text = std::get_if<std::string>(&property->value);
  return text ? *text : "<not text>";
}

class MassVolume : public SeparatorTest {
protected:
  sim::DocumentData& Run(sim::DocumentData data) {
    return RunWriter(std::move(data), [](clsVantelo& addin) { addin.Mass_Volume(); });
  }
};

struct UnitRow {
  std::int32_t massUnits;
  std::int32_t lengthUnits;
  double mass;   // kg
  double volume; // cm^3
  const char* massText;
  const char* volumeText;
};

TEST_P(MassVolume, NumbersFollowTheDocumentUnits) {
  const UnitRow rows[] = {
      {units::Kilogram, units::Millimeter, 1.23456, 123.456, "1.23 kg", "123456 mm^3"},
      {units::Gram, units::Inch, 1.23456, 123.456, "1234.56 g", "7.53 in^3"},
      {units::PoundMass, units::Centimeter, 1.23456, 123.456, "2.72 lbmass", "7.53 in^3"},
      {units::Kilogram, units::Meter, 12.0, 1.0, "12 kg", "0.06 in^3"},
      {units::Kilogram, units::Millimeter, 1.5, 0.0, "1.5 kg", "0 mm^3"},
      // Halves go to the even neighbour.
      {units::Kilogram, units::Millimeter, 0.125, 1.0, "0.12 kg", "1000 mm^3"},
      {units::Kilogram, units::Millimeter, 0.375, 1.0, "0.38 kg", "1000 mm^3"},
  };
  for (const UnitRow& row : rows) {
    const auto& part = Run(Part(row.mass, row.volume, row.massUnits, row.lengthUnits));
    EXPECT_EQ(UserProperty(part, "TotalMass"), Expected(row.massText)) << row.massText;
    EXPECT_EQ(UserProperty(part, "TotalVolume"), Expected(row.volumeText)) << row.volumeText;
    EXPECT_EQ(Tracked(part, 9), Expected(row.massText));
    EXPECT_EQ(Tracked(part, 43), Expected(row.volumeText));
  }
}

TEST_P(MassVolume, AnAssemblyIsWrittenLikeAPart) {
  auto data = Part(2.0, 3.0);
  data.type = document_type::Assembly;
  const auto& assembly = Run(std::move(data));
  EXPECT_EQ(UserProperty(assembly, "TotalMass"), "2 kg");
  EXPECT_EQ(UserProperty(assembly, "TotalVolume"), "3000 mm^3");
}

TEST_P(MassVolume, OldDocumentsReportTheMassInGrams) {
  for (const auto& [version, text] : std::vector<std::pair<std::int32_t, std::string>>{
           {6000, "1.23 kg"}, {0, "1.23 kg"}, {6001, "1234.56 kg"}}) {
    auto data = Part(1234.56, 1.0);
    data.versionNumber = version;
    EXPECT_EQ(UserProperty(Run(std::move(data)), "TotalMass"), Expected(text)) << version;
  }
}

TEST_P(MassVolume, TheMassLabelReplacesOnlyTheUnitText) {
  h.addin->MassUnitToDisplay = "kilos";
  const auto& part = Run(Part(1.23456, 1.0, units::Gram));
  EXPECT_EQ(UserProperty(part, "TotalMass"), Expected("1234.56kilos"));
  EXPECT_EQ(Tracked(part, 9), Expected("1234.56kilos"));
  EXPECT_EQ(UserProperty(part, "TotalVolume"), "1000 mm^3");
}

TEST_P(MassVolume, AnUnknownMassUnitDeletesTheMassAndStillWritesTheVolume) {
  auto data = Part(1.0, 1.0, 11285);
  data.propertySets[0].properties.Add({.name = "TotalMass", .value = std::string("old")});
  data.propertySets[1].properties.SetValue(9, std::string("kept"));
  const auto& part = Run(std::move(data));
  EXPECT_EQ(UserProperty(part, "TotalMass"), "<missing>");
  EXPECT_EQ(Tracked(part, 9), "kept");
  EXPECT_EQ(UserProperty(part, "TotalVolume"), "1000 mm^3");
  EXPECT_EQ(Tracked(part, 43), "1000 mm^3");
}

TEST_P(MassVolume, DecimalsFollowTheSettingsAndNegativeOnesLeaveThePropertyDeleted) {
  h.addin->MassDecimals = 4;
  h.addin->VolumeDecimals = 0;
  auto& part = Run(Part(1.23456, 1.23456));
  EXPECT_EQ(UserProperty(part, "TotalMass"), Expected("1.2346 kg"));
  EXPECT_EQ(UserProperty(part, "TotalVolume"), "1235 mm^3");

  h.addin->MassDecimals = -1;
  h.addin->VolumeDecimals = -1;
  auto& again = Run(Part(1.23456, 1.23456));
  EXPECT_EQ(UserProperty(again, "TotalMass"), "<missing>");
  EXPECT_EQ(UserProperty(again, "TotalVolume"), "<missing>");
  EXPECT_EQ(Tracked(again, 9), "");
  EXPECT_EQ(Tracked(again, 43), "");
}

TEST_P(MassVolume, AVolumeThatOverflowsItsConversionLeavesThePropertyDeleted) {
  const auto& part = Run(Part(1.0, 1e306));
  EXPECT_EQ(UserProperty(part, "TotalMass"), "1 kg");
  EXPECT_EQ(UserProperty(part, "TotalVolume"), "<missing>");
  EXPECT_EQ(Tracked(part, 43), "");
}

TEST_P(MassVolume, TheMassPropertiesAreAskedForAtFullAccuracy) {
  const auto& part = Run(Part(1.0, 1.0));
  EXPECT_EQ(part.massProperties->accuracy, 24579);
  EXPECT_EQ(h.host.CallsOf("ComponentDefinition.MassPropertiesByName"), 3u);
  EXPECT_EQ(h.host.CallsOf("Application.ActiveDocument"), 10u);
}

// What a failed step leads to, each by one planned fault.
struct FaultRow {
  const char* operation;
  std::uint64_t call; // 0: every call
  const char* massText;
  const char* volumeText;
  const char* tracked9;
  const char* tracked43;
};

TEST_P(MassVolume, AFailedStepGoesOnWithTheNextOne) {
  const FaultRow rows[] = {
      // A mass or volume that cannot be read is written nowhere: the
      // user-defined property stays deleted, the tracked one keeps its value.
      {"Document.ComponentDefinitionByName", 0, "<missing>", "<missing>", "old", "old"},
      // Only the accuracy is not set: both values are still read.
      {"ComponentDefinition.MassPropertiesByName", 1, "1.23 kg", "7.53 in^3", "1.23 kg",
       "7.53 in^3"},
      {"MassProperties.MassByName", 0, "<missing>", "7.53 in^3", "old", "7.53 in^3"},
      {"MassProperties.VolumeByName", 0, "1.23 kg", "<missing>", "1.23 kg", "old"},
      // Without the version it is unknown whether the mass is in grams.
      {"Document.VersionNumber", 0, "<missing>", "7.53 in^3", "old", "7.53 in^3"},
      // The mass unit cannot be read: no mass text anywhere.
      {"UnitsOfMeasure.MassUnits", 0, "<missing>", "7.53 in^3", "old", "7.53 in^3"},
      {"UnitsOfMeasure.MassUnits", 2, "1.23 kg", "7.53 in^3", "old", "7.53 in^3"},
      // The length unit cannot be read: the volume is written in mm^3.
      {"UnitsOfMeasure.LengthUnits", 0, "1.23 kg", "123456 mm^3", "1.23 kg", "123456 mm^3"},
      {"UnitsOfMeasure.LengthUnits", 2, "1.23 kg", "7.53 in^3", "1.23 kg", "123456 mm^3"},
      // The second reach of the user-defined set fails: the first one is
      // used again.
      {"PropertySets.Item", 2, "1.23 kg", "7.53 in^3", "1.23 kg", "7.53 in^3"},
      // The mass property of the second set cannot be reached: the volume
      // still goes to its own property only.
      {"PropertySet.ItemByPropId", 1, "1.23 kg", "7.53 in^3", "old", "7.53 in^3"},
      {"PropertySet.ItemByPropId", 2, "1.23 kg", "7.53 in^3", "1.23 kg", "old"},
      {"Property.SetValue", 1, "1.23 kg", "7.53 in^3", "old", "7.53 in^3"},
      // The add fails after the delete: the property is gone.
      {"PropertySet.Add", 1, "<missing>", "7.53 in^3", "1.23 kg", "7.53 in^3"},
      {"PropertySet.Add", 2, "1.23 kg", "<missing>", "1.23 kg", "7.53 in^3"},
      // Nothing can be stored in the user-defined set.
      {"Document.PropertySets", 0, "<missing>", "<missing>", "old", "old"},
  };
  for (const FaultRow& row : rows) {
    auto data = Part(1.23456, 123.456, units::Kilogram, units::Inch);
    data.propertySets[1].properties.SetValue(9, std::string("old"));
    data.propertySets[1].properties.SetValue(43, std::string("old"));
    auto& part = h.host.AddDocument(std::move(data));
    h.MakeActive(&part);
    h.host.ClearOperations();
    h.host.ClearFaults();
    if (row.call == 0)
      h.host.FailOperation(row.operation, kFault);
    else
      h.host.FailOperationCall(row.operation, row.call, kFault);
    EXPECT_EQ(FailureCode([&] { h.addin->Mass_Volume(); }), 0) << row.operation;
    const std::string where = std::string(row.operation) + " #" + std::to_string(row.call);
    EXPECT_EQ(UserProperty(part, "TotalMass"), Expected(row.massText)) << where;
    EXPECT_EQ(UserProperty(part, "TotalVolume"), Expected(row.volumeText)) << where;
    EXPECT_EQ(Tracked(part, 9), Expected(row.tracked9)) << where;
    EXPECT_EQ(Tracked(part, 43), Expected(row.tracked43)) << where;
    EXPECT_TRUE(h.HoldsOnlyItsOwnReferences()) << where;
  }
}

// A value that cannot be read costs only its own two writes (which ones the
// table above shows): every other host call is made as in a clean run.
TEST_P(MassVolume, AnUnreadValueLeavesOutOnlyItsWrites) {
  const auto withoutWrites = [&](const char* failing, std::size_t writes) {
    auto& part = h.host.AddDocument(Part(1.23456, 123.456));
    h.MakeActive(&part);
    h.host.ClearOperations();
    h.host.ClearFaults();
    if (failing)
      h.host.FailOperation(failing, kFault);
    h.addin->Mass_Volume();
    std::vector<std::string> operations = h.host.Operations();
    EXPECT_EQ(std::erase_if(operations,
                            [](const std::string& o) {
                              return o == "PropertySet.Add" || o == "Property.SetValue";
                            }),
              writes)
        << (failing ? failing : "clean");
    return operations;
  };
  const auto clean = withoutWrites(nullptr, 4);
  for (const char* failing :
       {"MassProperties.MassByName", "Document.VersionNumber", "MassProperties.VolumeByName"})
    EXPECT_EQ(withoutWrites(failing, 2), clean) << failing;
}

TEST_P(MassVolume, WithoutAnActiveDocumentNothingIsStoredAndNothingFails) {
  h.MakeActive(nullptr);
  EXPECT_EQ(FailureCode([&] { h.addin->Mass_Volume(); }), 0);
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
}

INSTANTIATE_TEST_SUITE_P(Separators, MassVolume, ::testing::Values(".", ","), SeparatorName);

} // namespace
} // namespace vantelo::test
