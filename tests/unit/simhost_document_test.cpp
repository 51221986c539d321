#include "simhost/host.h"
#include "simhost/status_codes.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantelo::sim {
namespace {

using ::testing::ElementsAre;
using vantelo::test::FailureCode;

Ref<Document> ActiveDocument(Host& host, const DocumentData& doc) {
  host.SetActiveDocument(&doc);
  return Use(Use(host.AddInSite()).Application()).ActiveDocument();
}

TEST(SimDocument, InterfaceQueriesAnswerByDocumentType) {
  const struct {
    std::int32_t type;
    std::int32_t asDrawing, asPart, componentDefinition; // 0: succeeds
  } cases[] = {
      {document_type::Part, hresult::NoInterface, 0, 0},
      {document_type::Assembly, hresult::NoInterface, hresult::NoInterface, 0},
      {document_type::Drawing, 0, hresult::NoInterface, status::UnknownName},
      {12345, hresult::NoInterface, hresult::NoInterface, status::UnknownName},
  };
  for (const auto& c : cases) {
    Host host;
    auto document = ActiveDocument(host, host.AddDocument({.name = "X", .type = c.type}));
    EXPECT_EQ(Use(document).DocumentType(), c.type);
    EXPECT_EQ(FailureCode([&] { Use(document).AsDrawingDocument(); }), c.asDrawing) << c.type;
    EXPECT_EQ(FailureCode([&] { Use(document).AsPartDocument(); }), c.asPart) << c.type;
    EXPECT_EQ(FailureCode([&] { Use(document).ComponentDefinitionByName(); }),
              c.componentDefinition)
        << c.type;
  }
}

TEST(SimDocument, ADrawingWithTwoSheetsIsWalkedByOneBasedIndexes) {
  Host host;
  const auto& drawing = host.AddDocument({
      .name = "D.idw",
      .type = document_type::Drawing,
      .sheets = {{.size = PaperSizeCodeOf("A"), .viewScales = {0.5, 0.25}},
                 {.size = PaperSizeCodeOf("A0"), .viewScales = {1.0}}},
      .activeSheet = 1,
  });
  auto document = Use(ActiveDocument(host, drawing)).AsDrawingDocument();
  EXPECT_EQ(Use(document).VersionNumber(), 7000); // Document operations answer too

  auto sheets = Use(document).Sheets();
  ASSERT_EQ(Use(sheets).Count(), 2);
  EXPECT_EQ(Use(Use(sheets).Item(2)).Size(), PaperSizeCodeOf("A0"));
  EXPECT_EQ(FailureCode([&] { Use(sheets).Item(0); }), hresult::BadIndex);
  EXPECT_EQ(FailureCode([&] { Use(sheets).Item(3); }), hresult::BadIndex);

  auto views = Use(Use(sheets).Item(1)).DrawingViews();
  EXPECT_EQ(Use(views).Count(), 2);
  EXPECT_EQ(Use(Use(views).Item(2)).Scale(), 0.25);
  EXPECT_EQ(FailureCode([&] { Use(views).Item(3); }), hresult::BadIndex);
  EXPECT_EQ(Use(Use(document).ActiveSheet()).Size(), PaperSizeCodeOf("A0"));
}

TEST(SimDocument, PartsListCellsAreFoundByExactColumnTitle) {
  Host host;
  auto& drawing = host.AddDocument({
      .name = "D.idw",
      .type = document_type::Drawing,
      .sheets = {{.partsLists = {{.columns = {"QTY", "MASS", "TOTAL"},
                                  .rows = {{"2", "1.5 kg", ""}, {"1", "3 kg", ""}}}}}},
  });
  auto sheet = Use(Use(ActiveDocument(host, drawing)).AsDrawingDocument()).ActiveSheet();
  auto rows = Use(Use(Use(sheet).PartsLists()).Item(1)).PartsListRows();
  ASSERT_EQ(Use(rows).Count(), 2);
  std::int32_t index = 2;
  auto row = Use(rows).Item(index);
  EXPECT_EQ(Use(Use(row).Item("MASS")).Value(), "3 kg");
  Use(Use(row).Item("TOTAL")).SetValueByName("3 kg");
  EXPECT_THAT(drawing.sheets[0].partsLists[0].rows[1], ElementsAre("1", "3 kg", "3 kg"));

  EXPECT_EQ(FailureCode([&] { Use(row).Item("mass"); }), hresult::InvalidArg);
  EXPECT_EQ(FailureCode([&] { Use(Use(sheet).PartsLists()).Item(2); }), hresult::BadIndex);
  index = 3;
  EXPECT_EQ(FailureCode([&] { Use(rows).Item(index); }), hresult::BadIndex);
}

TEST(SimDocument, ASheetMetalPartGivesItsStyleThicknessAndFlatPatternCorners) {
  Host host;
  const auto& part = host.AddDocument({
      .name = "S.ipt",
      .subType = subtype::SheetMetalPart,
      .sheetMetal = SheetMetalData{.thickness = 0.15,
                                   .thicknessUnits = "mm",
                                   .styleName = "Steel 1.5",
                                   .flatPattern = FlatPatternData{{-1, 2, 0}, {10, -3, 1}}},
  });
  auto partDocument = Use(ActiveDocument(host, part)).AsPartDocument();
  EXPECT_EQ(Use(partDocument).SubType(), subtype::SheetMetalPart);
  auto sheetMetal = Use(Use(partDocument).ComponentDefinition()).AsSheetMetalComponentDefinition();
  auto style = Use(sheetMetal).ActiveSheetMetalStyle();
  EXPECT_EQ(Use(style).Name(), "Steel 1.5");
  EXPECT_EQ(Use(Use(style).Thickness()).Value(), 0.15);
  EXPECT_EQ(Use(Use(style).Thickness()).Units(), "mm");
  auto box = Use(Use(Use(sheetMetal).FlatPattern()).Body()).RangeBox();
  EXPECT_EQ(Use(Use(box).MinPoint()).X(), -1);
  EXPECT_EQ(Use(Use(box).MaxPoint()).Y(), -3);
}

TEST(SimDocument, APartWithoutSheetMetalOrFlatPatternSaysSo) {
  Host host;
  const auto& plain = host.AddDocument({.name = "P.ipt"});
  auto definition = Use(Use(ActiveDocument(host, plain)).AsPartDocument()).ComponentDefinition();
  EXPECT_EQ(FailureCode([&] { Use(definition).AsSheetMetalComponentDefinition(); }),
            hresult::NoInterface);

  const auto& unfolded =
      host.AddDocument({.name = "U.ipt", .sheetMetal = SheetMetalData{.thickness = 0.2}});
  auto sheetMetal =
      Use(Use(Use(ActiveDocument(host, unfolded)).AsPartDocument()).ComponentDefinition())
          .AsSheetMetalComponentDefinition();
  EXPECT_EQ(Use(sheetMetal).FlatPattern(), nullptr);
}

TEST(SimDocument, MassPropertiesGiveTheStoredValuesAndKeepTheAccuracyPut) {
  Host host;
  auto& part = host.AddDocument(
      {.name = "P.ipt", .massProperties = MassPropertiesData{.mass = 1.25, .volume = 123.456}});
  auto massProperties =
      Use(Use(ActiveDocument(host, part)).ComponentDefinitionByName()).MassPropertiesByName();
  Use(massProperties).SetAccuracyByName(24579);
  EXPECT_EQ(part.massProperties->accuracy, 24579);
  EXPECT_EQ(Use(massProperties).MassByName(), Value(1.25));
  EXPECT_EQ(Use(massProperties).VolumeByName(), Value(123.456));

  const auto& without = host.AddDocument({.name = "A.iam", .type = document_type::Assembly});
  auto definition = Use(ActiveDocument(host, without)).ComponentDefinitionByName();
  EXPECT_EQ(FailureCode([&] { Use(definition).MassPropertiesByName(); }), hresult::Fail);
}

TEST(SimDocument, ObjectsOfAClosedDocumentOrRemovedSheetFailCleanly) {
  Host host;
  auto& drawing = host.AddDocument(
      {.name = "D.idw", .type = document_type::Drawing, .sheets = {{.size = 1}, {.size = 2}}});
  auto document = ActiveDocument(host, drawing);
  auto sheet = Use(Use(Use(document).AsDrawingDocument()).Sheets()).Item(2);
  auto set = Use(Use(document).PropertySets()).Item(fmtid::UserDefined);

  drawing.sheets.pop_back();
  EXPECT_EQ(FailureCode([&] { Use(sheet).Size(); }), status::Disconnected);

  host.RemoveDocument(drawing);
  EXPECT_EQ(host.ActiveDocument(), nullptr);
  EXPECT_EQ(Use(Use(host.AddInSite()).Application()).ActiveDocument(), nullptr);
  EXPECT_EQ(FailureCode([&] { Use(document).DocumentType(); }), status::Disconnected);
  EXPECT_EQ(FailureCode([&] { Use(set).Add(1, "X"); }), status::Disconnected);
}

TEST(SimDocument, TheStatusBarKeepsTheLastText) {
  Host host;
  auto application = Use(host.AddInSite()).Application();
  Use(application).SetStatusBarText("Updating");
  Use(application).SetStatusBarText("Done");
  EXPECT_EQ(host.StatusBarText(), "Done");
}

} // namespace
} // namespace vantelo::sim
