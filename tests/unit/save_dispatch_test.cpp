// The save notification end to end on the stand-in host: settings load,
// file write-back, writer selection, and what the add-in holds afterwards.
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using Access = clsVanteloTestAccess;

sim::DocumentData Part() { return {.name = "Plate.ipt", .type = document_type::Part}; }

std::string Golden() { return ReadBytes(std::string(VANTELO_TEST_DATA) + "/fresh_settings.ini"); }

TEST(SaveDispatch, TheFirstSaveWritesTheWholeCatalogueAndNoWriterRuns) {
  AddinHarness h;
  auto& part = h.host.AddDocument(Part());
  const auto outcome = h.Save(part);
  ASSERT_TRUE(outcome.succeeded) << outcome.message;
  EXPECT_EQ(h.ReadSettings(), Golden());
  EXPECT_TRUE(part.PropertySet(fmtid::UserDefined)->properties.empty());
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());

  // A second save reads the file it wrote and changes nothing in it, except
  // that the separator written as one blank reads back as empty and is
  // written again.
  ASSERT_TRUE(h.Save(part).succeeded);
  EXPECT_EQ(h.ReadSettings(), Golden());
  EXPECT_EQ(h.addin->ListSparator, " ");
}

TEST(SaveDispatch, AnotherTimingCodeOnlyRefreshesTheActiveDocument) {
  AddinHarness h;
  auto& part = h.host.AddDocument(Part());
  auto& drawing = h.host.AddDocument({.name = "A.idw", .type = document_type::Drawing});
  h.Activate();
  for (std::int32_t timing : {0, 4096, 4098, -4097}) {
    h.host.SetActiveDocument(timing % 2 ? &part : &drawing);
    h.host.ClearOperations();
    const auto outcome = h.host.FireSaveDocument(&part, timing, 77);
    ASSERT_TRUE(outcome.succeeded) << outcome.message;
    EXPECT_EQ(outcome.handlingCode, 77);
    EXPECT_EQ(h.host.Operations(), std::vector<std::string>{"Application.ActiveDocument"});
    EXPECT_EQ(Access::ActiveDoc(*h.addin)->DocumentType(),
              timing % 2 ? document_type::Part : document_type::Drawing);
    EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
  }
  EXPECT_FALSE(h.SettingsExist());
}

TEST(SaveDispatch, TheHandlingCodeComesBackUnchanged) {
  AddinHarness h;
  h.EnableAllWriters();
  auto& part = h.host.AddDocument(Part());
  h.Activate();
  h.host.SetActiveDocument(&part);
  EXPECT_EQ(h.host.FireSaveDocument(&part, event_timing::Before, 12345).handlingCode, 12345);
  h.host.SetActiveDocument(nullptr); // fails, and still leaves the code alone
  EXPECT_EQ(h.host.FireSaveDocument(&part, event_timing::Before, -3).handlingCode, -3);
}

TEST(SaveDispatch, OnlyTheTimeStampStampsEveryDocumentType) {
  for (const std::string sep : {":", "."}) {
    for (std::int32_t type :
         {document_type::Part, document_type::Assembly, document_type::Drawing, 12345}) {
      AddinHarness h({.timeSeparator = sep, .now = {2026, 12, 8, 9, 5, 59}});
      h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
      auto& document = h.host.AddDocument({.name = "D", .type = type});
      const auto outcome = h.Save(document);
      ASSERT_TRUE(outcome.succeeded) << outcome.message;
      const auto& properties = document.PropertySet(fmtid::UserDefined)->properties;
      ASSERT_EQ(properties.size(), 2u) << type;
      EXPECT_EQ(document.Property(fmtid::UserDefined, "SaveDate")->value, Value{Date{46364.0}});
      EXPECT_EQ(UserProperty(document, "SaveTime"), "09" + sep + "05");
      EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
    }
  }
}

TEST(SaveDispatch, ANameStoredWithAnotherTypeIsReplacedByTheNewOne) {
  AddinHarness h({.now = {2026, 12, 8, 21, 30, 0}});
  h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  auto part = Part();
  part.propertySets[0].properties.Add({.name = "savedate", .value = std::string("yesterday")});
  part.propertySets[0].properties.Add({.name = "SaveTime", .value = 3.5});
  part.propertySets[0].properties.Add({.name = "Other", .value = 1.0});
  auto& document = h.host.AddDocument(std::move(part));
  ASSERT_TRUE(h.Save(document).succeeded);
  ASSERT_TRUE(h.Save(document).succeeded);
  const auto& properties = document.PropertySet(fmtid::UserDefined)->properties;
  EXPECT_EQ(properties.size(), 3u);
  EXPECT_EQ(document.Property(fmtid::UserDefined, "SaveDate")->value, Value{Date{46364.0}});
  EXPECT_EQ(UserProperty(document, "SaveTime"), "21:30");
  EXPECT_EQ(document.Property(fmtid::UserDefined, "Other")->value, Value{1.0});
}

TEST(SaveDispatch, OneClockReadingServesDateAndTimeAcrossMidnight) {
  AddinHarness h;
  h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  h.clock->SetSequence({{2026, 12, 8, 23, 59, 59}, {2026, 12, 9, 0, 0, 1}});
  auto& document = h.host.AddDocument(Part());
  ASSERT_TRUE(h.Save(document).succeeded);
  EXPECT_EQ(h.clock->Calls(), 1u);
  EXPECT_EQ(document.Property(fmtid::UserDefined, "SaveDate")->value, Value{Date{46364.0}});
  EXPECT_EQ(UserProperty(document, "SaveTime"), "23:59");
}

TEST(SaveDispatch, BothTimeNamesTheSameLeaveOnlyTheTime) {
  AddinHarness h;
  h.WriteSettings(
      "[Global Options]\r\nEnableTimeStamp=True\r\n"
      "[TimeStamp Options]\r\nSaveTimePropertyName=Saved\r\nSaveDatePropertyName=Saved\r\n");
  auto& document = h.host.AddDocument(Part());
  ASSERT_TRUE(h.Save(document).succeeded);
  EXPECT_EQ(document.PropertySet(fmtid::UserDefined)->properties.size(), 1u);
  EXPECT_EQ(UserProperty(document, "Saved"), "09:05");
}

TEST(SaveDispatch, TheHostOperationsOfAPartSaveComeInOrder) {
  AddinHarness h;
  h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  auto& document = h.host.AddDocument(Part());
  h.Activate();
  h.host.SetActiveDocument(&document);
  h.host.ClearOperations();
  ASSERT_TRUE(h.host.FireSaveDocument(&document, event_timing::Before, 0).succeeded);
  const std::vector<std::string> expected{
      "Application.ActiveDocument", // refresh ActiveDoc
      "Application.ActiveDocument",
      "Document.PropertySets",
      "PropertySets.Item", // the set
      "PropertySet.Item",  // SaveDate lookup (missing: no delete)
      "PropertySet.Add",
      "PropertySet.Item", // SaveTime lookup
      "PropertySet.Add",
      "Document.DocumentType", // drawing?
      "Document.DocumentType",
      "Document.DocumentType", // part? assembly?
      "Application.ActiveDocument",
      "Document.DocumentType", // sheet metal?
  };
  EXPECT_EQ(h.host.Operations(), expected);
}

// 0.465 kg is stored a little above the half, the volume in mm^3 (4.135) a
// little below it; the product with 100 lands on the half in both.
TEST(SaveDispatch, MassAndVolumeRoundByTheirStoredValues) {
  for (const std::string sep : {".", ","}) {
    AddinHarness h({.decimalSeparator = sep});
    h.WriteSettings("[Global Options]\r\nEnableMassVolume=True\r\n");
    auto& part = h.host.AddDocument(
        {.name = "Plate.ipt",
         .type = document_type::Part,
         .massProperties = sim::MassPropertiesData{.mass = 0.465, .volume = 0.004135}});
    ASSERT_TRUE(h.Save(part).succeeded);
    EXPECT_EQ(UserProperty(part, "TotalMass"), WithSeparator("0.47 kg", sep));
    EXPECT_EQ(UserProperty(part, "TotalVolume"), WithSeparator("4.13 mm^3", sep));
  }
}

TEST(SaveDispatch, AValueThatDoesNotConvertStopsTheLoadAndEveryWriter) {
  AddinHarness h;
  h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\nEnableMassVolume=yes\r\n");
  auto& document = h.host.AddDocument(Part());
  const auto outcome = h.Save(document);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.code, hresult::TypeMismatch);
  EXPECT_TRUE(document.PropertySet(fmtid::UserDefined)->properties.empty());
  // The keys before it were written back, the ones after it were not read.
  EXPECT_EQ(h.ReadSettings(), "[Global Options]\r\nEnableTimeStamp=True\r\n"
                              "EnableMassVolume=yes\r\nEnableViewScale=False\r\n"
                              "EnableSheetMetal=False\r\n");
  EXPECT_FALSE(h.addin->EnablePartsList);
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
}

TEST(SaveDispatch, SettingsConvertAsTheirMembersType) {
  struct Case {
    std::string line;
    std::int32_t code;
    std::int16_t decimals;
  } cases[] = {{"MassDecimals=2.5", 0, 2},
               {"MassDecimals=3.5", 0, 4},
               {"MassDecimals=-1", 0, -1},
               {"MassDecimals=40000", hresult::Overflow, 11},
               {"MassDecimals=two", hresult::TypeMismatch, 11}};
  for (const auto& c : cases) {
    AddinHarness h;
    h.WriteSettings("[Mass And Volume Options]\r\n" + c.line + "\r\n");
    h.addin->MassDecimals = h.addin->VolumeDecimals = 11;
    auto& document = h.host.AddDocument(Part());
    const auto outcome = h.Save(document);
    EXPECT_EQ(outcome.code, c.code) << c.line;
    EXPECT_EQ(h.addin->MassDecimals, c.decimals) << c.line;
    EXPECT_EQ(h.addin->VolumeDecimals, c.code ? 11 : 2) << c.line;
  }
  for (const char* text : {"true", "TRUE", "1", "-1", "0", "False", " True "}) {
    AddinHarness h;
    h.WriteSettings(std::string("[Global Options]\r\nEnablePartsList=") + text + "\r\n");
    auto& document = h.host.AddDocument(Part());
    ASSERT_TRUE(h.Save(document).succeeded) << text;
    EXPECT_EQ(h.addin->EnablePartsList, std::string(text) != "0" && std::string(text) != "False")
        << text;
  }
}

TEST(SaveDispatch, EverySaveReadsTheFileAfresh) {
  AddinHarness h;
  auto& document = h.host.AddDocument(Part());
  ASSERT_TRUE(h.Save(document).succeeded);
  EXPECT_TRUE(document.PropertySet(fmtid::UserDefined)->properties.empty());

  h.addin->EnableTimeStamp = true; // a client's change is undone by the next save
  h.addin->TotalMassUnit = "kg";   // the parts-list members are not
  ASSERT_TRUE(h.Save(document).succeeded);
  EXPECT_FALSE(h.addin->EnableTimeStamp);
  EXPECT_EQ(h.addin->TotalMassUnit, "kg");
  EXPECT_TRUE(document.PropertySet(fmtid::UserDefined)->properties.empty());

  std::string file = h.ReadSettings();
  file.replace(file.find("EnableTimeStamp=False"), 21, "EnableTimeStamp=True");
  h.WriteSettings(file);
  ASSERT_TRUE(h.Save(document).succeeded);
  EXPECT_EQ(UserProperty(document, "SaveTime"), "09:05");
}

TEST(SaveDispatch, NoActiveDocumentFailsAfterTheSilentTimeStamp) {
  AddinHarness h;
  h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  auto& document = h.host.AddDocument(Part());
  h.Activate();
  h.host.SetActiveDocument(nullptr);
  const auto outcome = h.host.FireSaveDocument(&document, event_timing::Before, 0);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.code, hresult::ObjectNotSet);
  EXPECT_TRUE(document.PropertySet(fmtid::UserDefined)->properties.empty());
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
}

TEST(SaveDispatch, TheWritersWorkOnTheActiveDocumentNotTheOneSaved) {
  AddinHarness h;
  h.WriteSettings("[Global Options]\r\nEnableTimeStamp=True\r\n");
  auto& saved = h.host.AddDocument(Part());
  auto& active = h.host.AddDocument({.name = "Other.iam", .type = document_type::Assembly});
  h.Activate();
  h.host.SetActiveDocument(&active);
  ASSERT_TRUE(h.host.FireSaveDocument(&saved, event_timing::Before, 0).succeeded);
  EXPECT_TRUE(saved.PropertySet(fmtid::UserDefined)->properties.empty());
  EXPECT_EQ(UserProperty(active, "SaveTime"), "09:05");
}

} // namespace
} // namespace vantelo::test
