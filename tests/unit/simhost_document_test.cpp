#include "simhost/host.h"
#include "simhost/status_codes.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vantelo::sim {
namespace {

using ::testing::ElementsAre;
using vantelo::test::failureCode;

Ref<Document> activeDocument(Host& host, const DocumentData& doc) {
  host.setActiveDocument(&doc);
  return use(use(host.AddInSite()).Application()).ActiveDocument();
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
    auto document = activeDocument(host, host.addDocument({.name = "X", .type = c.type}));
    EXPECT_EQ(use(document).DocumentType(), c.type);
    EXPECT_EQ(failureCode([&] { use(document).AsDrawingDocument(); }), c.asDrawing) << c.type;
    EXPECT_EQ(failureCode([&] { use(document).AsPartDocument(); }), c.asPart) << c.type;
    EXPECT_EQ(failureCode([&] { use(document).ComponentDefinitionByName(); }),
              c.componentDefinition)
        << c.type;
  }
}

TEST(SimDocument, ADrawingWithTwoSheetsIsWalkedByOneBasedIndexes) {
  Host host;
  const auto& drawing = host.addDocument({
      .name = "D.idw",
      .type = document_type::Drawing,
      .sheets = {{.size = 9987, .viewScales = {0.5, 0.25}}, {.size = 9993, .viewScales = {1.0}}},
      .activeSheet = 1,
  });
  auto document = use(activeDocument(host, drawing)).AsDrawingDocument();
  EXPECT_EQ(use(document).VersionNumber(), 7000); // Document operations answer too

  auto sheets = use(document).Sheets();
  ASSERT_EQ(use(sheets).Count(), 2);
  EXPECT_EQ(use(use(sheets).Item(2)).Size(), 9993);
  EXPECT_EQ(failureCode([&] { use(sheets).Item(0); }), hresult::BadIndex);
  EXPECT_EQ(failureCode([&] { use(sheets).Item(3); }), hresult::BadIndex);

  auto views = use(use(sheets).Item(1)).DrawingViews();
  EXPECT_EQ(use(views).Count(), 2);
  EXPECT_EQ(use(use(views).Item(2)).Scale(), 0.25);
  EXPECT_EQ(failureCode([&] { use(views).Item(3); }), hresult::BadIndex);
  EXPECT_EQ(use(use(document).ActiveSheet()).Size(), 9993);
}

TEST(SimDocument, PartsListCellsAreFoundByExactColumnTitle) {
  Host host;
  auto& drawing = host.addDocument({
      .name = "D.idw",
      .type = document_type::Drawing,
      .sheets = {{.partsLists = {{.columns = {"QTY", "MASS", "TOTAL"},
                                  .rows = {{"2", "1.5 kg", ""}, {"1", "3 kg", ""}}}}}},
  });
  auto sheet = use(use(activeDocument(host, drawing)).AsDrawingDocument()).ActiveSheet();
  auto rows = use(use(use(sheet).PartsLists()).Item(1)).PartsListRows();
  ASSERT_EQ(use(rows).Count(), 2);
  std::int32_t index = 2;
  auto row = use(rows).Item(index);
  EXPECT_EQ(use(use(row).Item("MASS")).Value(), "3 kg");
  use(use(row).Item("TOTAL")).SetValueByName("3 kg");
  EXPECT_THAT(drawing.sheets[0].partsLists[0].rows[1], ElementsAre("1", "3 kg", "3 kg"));

  EXPECT_EQ(failureCode([&] { use(row).Item("mass"); }), hresult::InvalidArg);
  EXPECT_EQ(failureCode([&] { use(use(sheet).PartsLists()).Item(2); }), hresult::BadIndex);
  index = 3;
  EXPECT_EQ(failureCode([&] { use(rows).Item(index); }), hresult::BadIndex);
}

TEST(SimDocument, ASheetMetalPartGivesItsStyleThicknessAndFlatPatternCorners) {
  Host host;
  const auto& part = host.addDocument({
      .name = "S.ipt",
      .subType = subtype::SheetMetalPart,
      .sheetMetal = SheetMetalData{.thickness = 0.15,
                                   .thicknessUnits = "mm",
                                   .styleName = "Steel 1.5",
                                   .flatPattern = FlatPatternData{{-1, 2, 0}, {10, -3, 1}}},
  });
  auto partDocument = use(activeDocument(host, part)).AsPartDocument();
  EXPECT_EQ(use(partDocument).SubType(), subtype::SheetMetalPart);
  auto sheetMetal = use(use(partDocument).ComponentDefinition()).AsSheetMetalComponentDefinition();
  auto style = use(sheetMetal).ActiveSheetMetalStyle();
  EXPECT_EQ(use(style).Name(), "Steel 1.5");
  EXPECT_EQ(use(use(style).Thickness()).Value(), 0.15);
  EXPECT_EQ(use(use(style).Thickness()).Units(), "mm");
  auto box = use(use(use(sheetMetal).FlatPattern()).Body()).RangeBox();
  EXPECT_EQ(use(use(box).MinPoint()).X(), -1);
  EXPECT_EQ(use(use(box).MaxPoint()).Y(), -3);
}

TEST(SimDocument, APartWithoutSheetMetalOrFlatPatternSaysSo) {
  Host host;
  const auto& plain = host.addDocument({.name = "P.ipt"});
  auto definition = use(use(activeDocument(host, plain)).AsPartDocument()).ComponentDefinition();
  EXPECT_EQ(failureCode([&] { use(definition).AsSheetMetalComponentDefinition(); }),
            hresult::NoInterface);

  const auto& unfolded =
      host.addDocument({.name = "U.ipt", .sheetMetal = SheetMetalData{.thickness = 0.2}});
  auto sheetMetal =
      use(use(use(activeDocument(host, unfolded)).AsPartDocument()).ComponentDefinition())
          .AsSheetMetalComponentDefinition();
  EXPECT_EQ(use(sheetMetal).FlatPattern(), nullptr);
}

TEST(SimDocument, MassPropertiesGiveTheStoredValuesAndKeepTheAccuracyPut) {
  Host host;
  auto& part = host.addDocument(
      {.name = "P.ipt", .massProperties = MassPropertiesData{.mass = 1.25, .volume = 123.456}});
  auto massProperties =
      use(use(activeDocument(host, part)).ComponentDefinitionByName()).MassPropertiesByName();
  use(massProperties).SetAccuracyByName(24579);
  EXPECT_EQ(part.massProperties->accuracy, 24579);
  EXPECT_EQ(use(massProperties).MassByName(), Value(1.25));
  EXPECT_EQ(use(massProperties).VolumeByName(), Value(123.456));

  const auto& without = host.addDocument({.name = "A.iam", .type = document_type::Assembly});
  auto definition = use(activeDocument(host, without)).ComponentDefinitionByName();
  EXPECT_EQ(failureCode([&] { use(definition).MassPropertiesByName(); }), hresult::Fail);
}

TEST(SimDocument, ObjectsOfAClosedDocumentOrRemovedSheetFailCleanly) {
  Host host;
  auto& drawing = host.addDocument(
      {.name = "D.idw", .type = document_type::Drawing, .sheets = {{.size = 1}, {.size = 2}}});
  auto document = activeDocument(host, drawing);
  auto sheet = use(use(use(document).AsDrawingDocument()).Sheets()).Item(2);
  auto set = use(use(document).PropertySets()).Item(fmtid::UserDefined);

  drawing.sheets.pop_back();
  EXPECT_EQ(failureCode([&] { use(sheet).Size(); }), status::Disconnected);

  host.removeDocument(drawing);
  EXPECT_EQ(host.activeDocument(), nullptr);
  EXPECT_EQ(use(use(host.AddInSite()).Application()).ActiveDocument(), nullptr);
  EXPECT_EQ(failureCode([&] { use(document).DocumentType(); }), status::Disconnected);
  EXPECT_EQ(failureCode([&] { use(set).Add(1, "X"); }), status::Disconnected);
}

TEST(SimDocument, TheStatusBarKeepsTheLastText) {
  Host host;
  auto application = use(host.AddInSite()).Application();
  use(application).SetStatusBarText("Updating");
  EXPECT_EQ(host.statusBarText(), "Updating");
}

} // namespace
} // namespace vantelo::sim
