// ViewScale_First and ViewScale_All on drawings of the stand-in host.
#include "simhost/describe.h"
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using Access = clsVanteloTestAccess;
using Sheets = std::vector<std::vector<double>>;

sim::DocumentData Drawing(const Sheets& sheets) {
  sim::DocumentData drawing{.name = "A.idw", .type = document_type::Drawing};
  for (const auto& scales : sheets)
    drawing.sheets.push_back({.size = 9996, .viewScales = scales});
  return drawing;
}

class ViewScales : public SeparatorTest {
protected:
  // Runs the writer on a drawing of these sheets and returns what it stored.
  std::string First(const Sheets& sheets) {
    return UserProperty(RunWriter(Drawing(sheets), Access::ViewScale_First), "FirstViewScale");
  }
  std::string All(const Sheets& sheets) {
    return UserProperty(RunWriter(Drawing(sheets), Access::ViewScale_All), "AllViewScales");
  }
};

TEST_P(ViewScales, TheFirstViewOfTheFirstSheetDecides) {
  EXPECT_EQ(First({{0.5, 2}}), "1:2");
  EXPECT_EQ(First({{2}}), "2:1");
  EXPECT_EQ(First({{1.5}}), Expected("1.5:1"));
  // Views only on sheet 2 leave the first sheet without a view.
  EXPECT_EQ(First({{}, {0.5}}), "");
  EXPECT_EQ(First({}), "");
}

TEST_P(ViewScales, TheActiveSheetDoesNotMatter) {
  auto data = Drawing({{0.25}, {0.5}});
  data.activeSheet = 1;
  auto& drawing = h.host.AddDocument(std::move(data));
  h.MakeActive(&drawing);
  Access::ViewScale_First(*h.addin);
  EXPECT_EQ(UserProperty(drawing, "FirstViewScale"), "1:4");
}

TEST_P(ViewScales, AnEarlierValueOfAnotherTypeIsReplacedByText) {
  auto data = Drawing({{0.5}});
  data.propertySets[0].properties.Add({.name = "FirstViewScale", .value = 2.0});
  data.propertySets[0].properties.Add({.name = "AllViewScales", .value = Date{1.0}});
  auto& drawing = h.host.AddDocument(std::move(data));
  h.addin->ExcludeFirstInAllScales = false;
  h.MakeActive(&drawing);
  Access::ViewScale_First(*h.addin);
  Access::ViewScale_All(*h.addin);
  EXPECT_EQ(UserProperty(drawing, "FirstViewScale"), "1:2");
  EXPECT_EQ(UserProperty(drawing, "AllViewScales"), "1:2");
  EXPECT_EQ(drawing.PropertySet(fmtid::UserDefined)->properties.size(), 2u);
}

struct AllRow {
  Sheets sheets;
  bool excludeFirst;
  std::string text;
};

TEST_P(ViewScales, WorkedListsOfAllScales) {
  const AllRow rows[] = {
      {{{0.5, 0.25}, {1, 0.5}}, true, "1:1 1:4"},
      {{{0.5, 0.25}, {1, 0.5}}, false, "1:1 1:2 1:4"},
      {{{0.5, 0.5, 0.5}}, true, ""},
      {{{0.5}}, false, "1:2"},
      {{{2, 0.5, 4}}, false, "4:1 2:1 1:2"},
      {{{}, {0.5, 0.25}}, true, "1:2 1:4"},
      {{}, true, ""},
      {{}, false, ""},
      {{{}, {}}, false, ""},
      // Shown as the host does, with the decimal separator.
      {{{0.5, 2.5, 1.25}}, false, "2.5:1 1.25:1 1:2"},
      // Texts that are equal to 15 digits are one scale.
      {{{0.3, 0.30000000000000004, 0.1}}, false, "3:10 1:10"},
      // A negative (mirrored) scale sorts below the others and reads as its
      // magnitude.
      {{{-0.5, 0.25}}, false, "1:4 1:2"},
  };
  for (const AllRow& row : rows) {
    h.addin->ExcludeFirstInAllScales = row.excludeFirst;
    h.addin->ShowScaleAsInventor = true;
    EXPECT_EQ(All(row.sheets), Expected(row.text)) << row.text;
  }
}

TEST_P(ViewScales, DistinctScalesThatPrintAlikeAreBothListed) {
  h.addin->ShowScaleAsInventor = false;
  h.addin->ExcludeFirstInAllScales = false;
  EXPECT_EQ(All({{1.5, 1.25}}), "1:1 1:1");
}

TEST_P(ViewScales, TheSeparatorStandsOnlyBetweenNeighbours) {
  h.addin->ExcludeFirstInAllScales = false;
  for (const auto& [separator, text] : std::vector<std::pair<std::string, std::string>>{
           {"", "4:12:1"}, {", ", "4:1, 2:1"}, {" ", "4:1 2:1"}}) {
    h.addin->ListSparator = separator;
    EXPECT_EQ(All({{4, 2}}), text);
  }
  EXPECT_EQ(All({{4, 4}}), "4:1");
}

TEST_P(ViewScales, ATextThatCannotBeMadeIsLeftOutWithItsSeparator) {
  h.addin->ExcludeFirstInAllScales = false;
  h.addin->ShowScaleAsInventor = false;
  // 3e9 does not fit a ratio: it and the separator after it are left out.
  EXPECT_EQ(All({{4, 3e9, 0.5}}), "4:1 1:2");
  // When the smallest fails, the list ends with the separator.
  EXPECT_EQ(All({{-3e9, 2}}), "2:1 ");
}

TEST_P(ViewScales, ViewsThatCannotBeReadAreLeftOut) {
  h.addin->ExcludeFirstInAllScales = false;
  auto& drawing = h.host.AddDocument(Drawing({{0.5, 0.25}, {4, 2}}));
  h.MakeActive(&drawing);
  h.host.ClearOperations();
  // The second view's first read, and the whole view count of sheet 2.
  h.host.FailOperationCall("DrawingView.Scale", 3, hresult::Fail);
  h.host.FailOperationCall("DrawingViews.Count", 2, hresult::Fail);
  Access::ViewScale_All(*h.addin);
  EXPECT_EQ(UserProperty(drawing, "AllViewScales"), "1:2");
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
}

TEST_P(ViewScales, ASheetCountThatCannotBeReadCollectsNothing) {
  auto& drawing = h.host.AddDocument(Drawing({{0.5, 0.25}}));
  h.MakeActive(&drawing);
  h.host.ClearOperations();
  h.host.FailOperation("Sheets.Count", hresult::Fail);
  Access::ViewScale_All(*h.addin);
  EXPECT_EQ(UserProperty(drawing, "AllViewScales"), "");
  // Only the first view is read, for the exclusion.
  EXPECT_EQ(h.host.CallsOf("DrawingView.Scale"), 1u);
  EXPECT_EQ(h.host.CallsOf("DrawingViews.Count"), 0u);
}

TEST_P(ViewScales, EachViewIsReadTwiceThroughAFreshChain) {
  auto& drawing = h.host.AddDocument(Drawing({{0.5}, {0.25, 2}}));
  h.MakeActive(&drawing);
  h.host.ClearOperations();
  Access::ViewScale_All(*h.addin);
  const std::vector<std::string> oneRead{"DrawingDocument.Sheets", "Sheets.Item",
                                         "Sheet.DrawingViews", "DrawingViews.Item",
                                         "DrawingView.Scale"};
  std::vector<std::string> expected{"Application.ActiveDocument", "Document.AsDrawingDocument",
                                    "DrawingDocument.Sheets", "Sheets.Count"};
  const auto append = [&](const std::vector<std::string>& ops) {
    expected.insert(expected.end(), ops.begin(), ops.end());
  };
  for (int views : {1, 2}) {
    append({"DrawingDocument.Sheets", "Sheets.Item", "Sheet.DrawingViews", "DrawingViews.Count"});
    for (int j = 0; j < views * 2; ++j)
      append(oneRead);
  }
  append(oneRead); // the first view, excluded
  append({"Application.ActiveDocument", "Document.PropertySets", "PropertySets.Item",
          "PropertySet.Item", "PropertySet.Add"});
  EXPECT_EQ(h.host.Operations(), expected);
  EXPECT_EQ(UserProperty(drawing, "AllViewScales"), "2:1 1:4");
}

TEST_P(ViewScales, ADocumentThatIsNotADrawingFailsBeforeAnythingIsTouched) {
  for (std::int32_t type : {document_type::Part, document_type::Assembly}) {
    auto& part = h.host.AddDocument({.name = "P", .type = type});
    const std::string before = sim::DescribePropertySets(part);
    h.MakeActive(&part);
    EXPECT_EQ(FailureCode([&] { Access::ViewScale_First(*h.addin); }), hresult::NoInterface);
    EXPECT_EQ(FailureCode([&] { Access::ViewScale_All(*h.addin); }), hresult::NoInterface);
    EXPECT_EQ(sim::DescribePropertySets(part), before);
  }
  h.MakeActive(nullptr);
  EXPECT_NE(FailureCode([&] { Access::ViewScale_First(*h.addin); }), 0);
  EXPECT_NE(FailureCode([&] { Access::ViewScale_All(*h.addin); }), 0);
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
}

INSTANTIATE_TEST_SUITE_P(Separators, ViewScales, ::testing::Values(".", ","), SeparatorName);

} // namespace
} // namespace vantelo::test
