// UpdateTotalMassInPartsList on the stand-in host: row totals, the drawing's
// TotalMass property, and the failure path with its message box and reset.
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace vantelo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* kStatusText = "Updating Totalmass in the Parts List, Please wait.";
const MessageRecord kFailureBox{"Can't find any usable Parts List placed on the Drawing.", 16, ""};

// A row: quantity, mass, total-mass cell.
using Row = std::vector<std::string>;

sim::PartsListData List(std::vector<Row> rows) {
  return {.columns = {"QTY", "MASS", "TOTAL"}, .rows = std::move(rows)};
}

// A drawing whose only sheet holds the given parts lists, with a user-defined
// "TotalMass" property unless told otherwise.
sim::DocumentData Drawing(std::vector<sim::PartsListData> lists, bool withTotalMass = true) {
  sim::DocumentData drawing{.name = "A.idw", .type = document_type::Drawing};
  drawing.sheets = {{.partsLists = std::move(lists)}};
  if (withTotalMass)
    drawing.PropertySet(fmtid::UserDefined)->properties.Add("TotalMass", std::string("old"));
  return drawing;
}

// The add-in, activated, with its parts-list members set to match List().
struct Scene {
  explicit Scene(HarnessOptions options = {}) : h(std::move(options)) {
    h.Activate();
    UsePartsListColumns(*h.addin);
  }

  sim::DocumentData& Open(sim::DocumentData document) {
    auto& added = h.host.AddDocument(std::move(document));
    h.host.SetActiveDocument(&added);
    return added;
  }

  std::int32_t Update() {
    return FailureCode([&] { h.addin->UpdateTotalMassInPartsList(); });
  }

  AddinHarness h;
};

// The total-mass cells of a parts list, row by row.
std::vector<std::string> Totals(const sim::DocumentData& drawing, std::size_t sheet = 0,
                                std::size_t list = 0) {
  std::vector<std::string> totals;
  for (const auto& row : drawing.sheets[sheet].partsLists[list].rows)
    totals.push_back(row[2]);
  return totals;
}

TEST(PartsListTotalMass, WritesRowTotalsInTheChosenUnit) {
  const struct {
    std::string quantity, mass, unit;
    std::int16_t decimals, blanks;
    std::string display, written;
  } cases[] = {
      {"4", "2.5 kg", "g", 1, 1, "g", "10000 g"},
      {"2", "0.5 slug", "lb", 2, 1, "lb", "32.17 lb"},
      {"1", "11.0231 lbmass", "kg", 3, 0, "kg", "5kg"},
      {"3 pcs", "250 g", "kg", 2, 1, "kg", "0.75 kg"},
      // Every unit into every total unit; the lbmass quotients come from 2.20462.
      {"1", "1 kg", "kg", 15, 0, "", "1"},
      {"1", "1 kg", "lb", 15, 0, "", "2.20462"},
      {"1", "1 lbmass", "kg", 15, 0, "", "0.45359290943564"},
      {"1", "1 lbmass", "g", 15, 0, "", "453.59290943564"},
      {"1", "1 lbmass", "lb", 15, 0, "", "1"},
      {"1", "1 g", "kg", 15, 0, "", "0.001"},
      {"1", "1 g", "g", 15, 0, "", "1"},
      {"1", "1 g", "lb", 15, 0, "", "0.00220462"},
      {"1", "1 slug", "kg", 15, 0, "", "14.5939"},
      {"1", "1 slug", "g", 15, 0, "", "14593.9"},
      {"1", "1 slug", "lb", 15, 0, "", "32.174"},
      // Only the token is cut, so a unit without a blank before it keeps every digit.
      {"1", "12slug", "lb", 3, 0, "", "386.088"},
      {"1", "12kg", "kg", 0, 0, "", "12"},
      // Half to even.
      {"1", "2.5 kg", "kg", 0, 0, "", "2"},
      {"1", "3.5 kg", "kg", 0, 0, "", "4"},
      {"1", "0.125 kg", "kg", 2, 0, "", "0.12"},
      // The quantity's leading number; none reads 0.
      {"2.5e1", "1 kg", "kg", 0, 0, "", "25"},
      {"-", "1 kg", "kg", 0, 1, "kg", "0 kg"},
      {"pcs", "1 kg", "kg", 0, 1, "kg", "0 kg"},
      {"", "1 kg", "kg", 0, 1, "kg", "0 kg"},
      {"3", "1 kg", "kg", 0, 2, "kg", "3  kg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quantity + " x " + c.mass + " in " + c.unit);
    Scene s;
    s.h.addin->TotalMassUnit = c.unit;
    s.h.addin->Decimals = c.decimals;
    s.h.addin->SpaceBeforeMassUnit = c.blanks;
    s.h.addin->TotalMassUnitToDisplay = c.display;
    auto& drawing = s.Open(Drawing({List({{c.quantity, c.mass, "x"}})}));
    ASSERT_EQ(s.Update(), 0);
    EXPECT_THAT(Totals(drawing), ElementsAre(c.written));
    EXPECT_THAT(s.h.messages->Records(), IsEmpty());
  }
}

TEST(PartsListTotalMass, CallsTheHostOperationsInOrderAndHoldsNothingAfterwards) {
  Scene s;
  s.Open(Drawing({List({{"1", "2 kg", ""}, {"2", "3 kg", ""}})}));
  s.h.host.ClearOperations();
  ASSERT_EQ(s.Update(), 0);
  const std::vector<std::string> row = {"PartsList.PartsListRows", "PartsListRows.Item",
                                        "PartsListRow.Item",       "PartsListRow.Item",
                                        "PartsListRow.Item",       "PartsListCell.Value",
                                        "PartsListCell.Value",     "PartsListCell.Value",
                                        "PartsListCell.Value",     "PartsListCell.SetValueByName"};
  std::vector<std::string> expected = {
      "Application.ActiveDocument",  "Document.AsDrawingDocument", "Application.SetStatusBarText",
      "DrawingDocument.ActiveSheet", "Sheet.PartsLists",           "PartsLists.Item",
      "PartsList.PartsListRows",     "PartsListRows.Count"};
  expected.insert(expected.end(), row.begin(), row.end());
  expected.insert(expected.end(), row.begin(), row.end());
  expected.insert(expected.end(), {"Document.PropertySets", "PropertySets.Item", "PropertySet.Item",
                                   "Document.UnitsOfMeasure",
                                   "UnitsOfMeasure.LengthDisplayPrecision", "Property.SetValue"});
  EXPECT_THAT(s.h.host.Operations(), ElementsAreArray(expected));
  EXPECT_TRUE(s.h.HoldsOnlyItsOwnReferences());
}

TEST(PartsListTotalMass, SumsIntoTotalMassWithTheDrawingsOwnDecimals) {
  Scene s;
  s.h.addin->Decimals = 0;
  auto drawing = Drawing({List({{"1", "0.4 kg", ""}, {"1", "0.4 kg", ""}, {"2", "0.123 kg", ""}})});
  drawing.units.displayPrecision = 2;
  auto& open = s.Open(std::move(drawing));
  ASSERT_EQ(s.Update(), 0);
  // Each cell rounds to 0 decimals; the property rounds the unrounded sum to 2.
  EXPECT_THAT(Totals(open), ElementsAre("0 kg", "0 kg", "0 kg"));
  EXPECT_EQ(UserProperty(open, "TotalMass"), "1.05 kg");
  // Set in place: still the only property of the set.
  EXPECT_EQ(open.PropertySet(fmtid::UserDefined)->properties.size(), 1u);
  EXPECT_EQ(s.h.host.StatusBarText(), kStatusText);
}

// 0.465 is stored a little above the half: the cell and the total go up.
TEST(PartsListTotalMass, RowsAndTotalRoundByTheStoredValue) {
  for (const std::string sep : {".", ","}) {
    Scene s({.decimalSeparator = sep});
    auto drawing = Drawing({List({{"1", WithSeparator("0.465 kg", sep), ""}})});
    drawing.units.displayPrecision = 2;
    auto& open = s.Open(std::move(drawing));
    ASSERT_EQ(s.Update(), 0);
    EXPECT_THAT(Totals(open), ElementsAre(WithSeparator("0.47 kg", sep)));
    EXPECT_EQ(UserProperty(open, "TotalMass"), WithSeparator("0.47 kg", sep));
  }
}

TEST(PartsListTotalMass, OnlyTheFirstPartsListOfTheActiveSheetIsUpdated) {
  Scene s;
  sim::DocumentData drawing = Drawing({});
  drawing.sheets = {{.partsLists = {List({{"1", "1 kg", "a"}})}},
                    {.partsLists = {List({{"2", "1 kg", "b"}}), List({{"3", "1 kg", "c"}})}}};
  drawing.activeSheet = 1;
  auto& open = s.Open(std::move(drawing));
  ASSERT_EQ(s.Update(), 0);
  EXPECT_THAT(Totals(open, 0, 0), ElementsAre("a"));
  EXPECT_THAT(Totals(open, 1, 0), ElementsAre("2 kg"));
  EXPECT_THAT(Totals(open, 1, 1), ElementsAre("c"));
  EXPECT_EQ(UserProperty(open, "TotalMass"), "2 kg");
}

TEST(PartsListTotalMass, AnEmptyPartsListGivesAZeroTotal) {
  for (const std::string unit : {"kg", "KG", ""}) { // the unit is never needed
    Scene s;
    s.h.addin->TotalMassUnit = unit;
    s.h.addin->SpaceBeforeMassUnit = 2;
    auto& drawing = s.Open(Drawing({List({})}));
    ASSERT_EQ(s.Update(), 0) << unit;
    EXPECT_EQ(UserProperty(drawing, "TotalMass"), "0  kg") << unit;
    EXPECT_THAT(s.h.messages->Records(), IsEmpty());
  }
}

TEST(PartsListTotalMass, ReadsMassesWithTheRegionalDecimalSeparator) {
  Scene s({.decimalSeparator = ","});
  s.h.addin->Decimals = 3;
  auto& drawing = s.Open(Drawing({List({{"4", "2,5 kg", ""}, {"1.5", "0,5 slug", ""}})}));
  ASSERT_EQ(s.Update(), 0);
  // The quantity keeps "." whatever the locale.
  EXPECT_THAT(Totals(drawing), ElementsAre("10 kg", "10,945 kg"));
  EXPECT_EQ(UserProperty(drawing, "TotalMass"), "20,95 kg");

  Scene t({.decimalSeparator = ","});
  auto& other = t.Open(Drawing({List({{"1,5", "2 kg", ""}, {"1", "2.5 kg", ""}})}));
  ASSERT_EQ(t.Update(), 0); // "2.5" is not a number here
  EXPECT_THAT(Totals(other), ElementsAre("2 kg", ""));
  EXPECT_EQ(UserProperty(other, "TotalMass"), "");
  EXPECT_THAT(t.h.messages->Records(), ElementsAre(kFailureBox));
}

// A failure that the reset repairs: the box, "TotalMass" emptied, success,
// and every cell written before the failure kept.
TEST(PartsListTotalMass, AFailureShowsTheBoxAndEmptiesTotalMass) {
  const struct {
    const char* what;
    std::vector<Row> rows;
    void (*configure)(clsVantelo&);
    std::vector<std::string> totals;
  } cases[] = {
      {"a mass that is not a number",
       {{"1", "2 kg", ""}, {"1", "two kg", ""}, {"1", "3 kg", ""}},
       [](clsVantelo&) {},
       {"2 kg", "", ""}},
      {"a number left after cutting a lower-case g",
       {{"1", "500 mg", ""}},
       [](clsVantelo&) {},
       {""}},
      {"a mass made of the unit alone", {{"1", "kg", ""}}, [](clsVantelo&) {}, {""}},
      {"a row whose mass has no unit token",
       {{"1", "2 kg", ""}, {"1", "5 lb", ""}, {"1", "3 kg", ""}},
       [](clsVantelo&) {},
       {"2 kg", "", ""}},
      {"a first row whose mass has no unit token", {{"1", "5", ""}}, [](clsVantelo&) {}, {""}},
      {"an unknown total unit",
       {{"1", "2 kg", ""}},
       [](clsVantelo& a) { a.TotalMassUnit = "KG"; },
       {""}},
      {"no total unit", {{"1", "2 kg", ""}}, [](clsVantelo& a) { a.TotalMassUnit = ""; }, {""}},
      {"negative decimals", {{"1", "2 kg", ""}}, [](clsVantelo& a) { a.Decimals = -1; }, {""}},
      {"a negative blank count",
       {{"1", "2 kg", ""}},
       [](clsVantelo& a) { a.SpaceBeforeMassUnit = -1; },
       {""}},
      {"a missing quantity column",
       {{"1", "2 kg", ""}},
       [](clsVantelo& a) { a.QuantityColumnName = "Qty"; },
       {""}},
      {"a missing mass column",
       {{"1", "2 kg", ""}},
       [](clsVantelo& a) { a.MassColumnName = ""; },
       {""}},
      {"a missing total column",
       {{"1", "2 kg", ""}},
       [](clsVantelo& a) { a.TotalMassColumnName = "TOTAL "; },
       {""}},
      {"a row total that overflows",
       {{"1", "1 kg", ""}, {"1e300", "1e300 kg", ""}},
       [](clsVantelo&) {},
       {"1 kg", ""}},
      {"a quantity out of range", {{"1e999", "1 kg", ""}}, [](clsVantelo&) {}, {""}},
  };
  for (const auto& c : cases) {
    for (const bool suppress : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (suppress ? ", suppressed" : ""));
      Scene s;
      s.h.addin->SuppressError = suppress;
      c.configure(*s.h.addin);
      auto& drawing = s.Open(Drawing({List(c.rows)}));
      ASSERT_EQ(s.Update(), 0);
      EXPECT_THAT(Totals(drawing), ElementsAreArray(c.totals));
      EXPECT_EQ(UserProperty(drawing, "TotalMass"), "");
      EXPECT_EQ(s.h.messages->Records(),
                suppress ? std::vector<MessageRecord>{} : std::vector{kFailureBox});
      EXPECT_EQ(s.h.host.StatusBarText(), kStatusText);
      EXPECT_TRUE(s.h.HoldsOnlyItsOwnReferences());
    }
  }
}

TEST(PartsListTotalMass, NoPartsListOnTheActiveSheetIsAFailure) {
  Scene s;
  sim::DocumentData drawing = Drawing({});
  drawing.sheets = {{.partsLists = {List({{"1", "1 kg", ""}})}}, {}};
  drawing.activeSheet = 1;
  auto& open = s.Open(std::move(drawing));
  ASSERT_EQ(s.Update(), 0);
  EXPECT_THAT(Totals(open), ElementsAre(""));
  EXPECT_EQ(UserProperty(open, "TotalMass"), "");
  EXPECT_THAT(s.h.messages->Records(), ElementsAre(kFailureBox));
}

// Failures the reset cannot repair reach the caller, after the box.
TEST(PartsListTotalMass, WithoutADrawingTheResetFailsToo) {
  for (const bool suppress : {false, true}) {
    Scene s;
    s.h.addin->SuppressError = suppress;
    auto& part = s.Open({.name = "P.ipt", .type = document_type::Part});
    part.PropertySet(fmtid::UserDefined)->properties.Add("TotalMass", std::string("old"));
    EXPECT_EQ(s.Update(), hresult::ObjectNotSet);
    EXPECT_EQ(UserProperty(part, "TotalMass"), "old");
    EXPECT_EQ(s.h.messages->Records().size(), suppress ? 0u : 1u);
    EXPECT_EQ(s.h.host.StatusBarText(), "");

    s.h.host.SetActiveDocument(nullptr);
    EXPECT_EQ(s.Update(), hresult::ObjectNotSet);
    EXPECT_EQ(s.h.messages->Records().size(), suppress ? 0u : 2u);
    EXPECT_TRUE(s.h.HoldsOnlyItsOwnReferences());
  }
}

TEST(PartsListTotalMass, WithoutATotalMassPropertyTheRowsAreWrittenThenTheCallerFails) {
  for (const bool suppress : {false, true}) {
    Scene s;
    s.h.addin->SuppressError = suppress;
    auto& drawing = s.Open(Drawing({List({{"1", "2 kg", ""}, {"2", "2 kg", ""}})}, false));
    EXPECT_NE(s.Update(), 0);
    EXPECT_THAT(Totals(drawing), ElementsAre("2 kg", "4 kg"));
    EXPECT_EQ(UserProperty(drawing, "TotalMass"), "<missing>");
    EXPECT_EQ(s.h.messages->Records().size(), suppress ? 0u : 1u);
    EXPECT_TRUE(s.h.HoldsOnlyItsOwnReferences());
  }
}

// Every host operation of a successful update, made to fail in turn: no
// crash, nothing held, one box, and either the reset (success) or, when the
// drawing was never obtained, an error for the caller.
TEST(PartsListTotalMass, AFaultInAnyHostOperationTakesTheFailurePath) {
  constexpr std::int32_t planned = static_cast<std::int32_t>(0x80041234);
  auto scene = [](bool suppress) {
    auto s = std::make_unique<Scene>();
    s->h.addin->SuppressError = suppress;
    s->Open(Drawing({List({{"1", "2 kg", ""}, {"3", "250 g", ""}})}));
    s->h.host.ClearOperations();
    return s;
  };
  const std::vector<std::string> operations = [&] {
    auto s = scene(false);
    EXPECT_EQ(s->Update(), 0);
    return s->h.host.Operations();
  }();
  ASSERT_EQ(operations.size(), 34u);

  for (const bool suppress : {false, true}) {
    for (std::size_t n = 1; n <= operations.size(); ++n) {
      SCOPED_TRACE("fault in " + operations[n - 1] + " (" + std::to_string(n) + ")");
      auto s = scene(suppress);
      s->h.host.FailOperationNumber(n, planned);
      const bool drawingObtained = n > 2;
      EXPECT_EQ(s->Update(), drawingObtained ? 0 : hresult::ObjectNotSet);
      if (drawingObtained) {
        EXPECT_EQ(UserProperty(*s->h.host.ActiveDocument(), "TotalMass"), "");
      }
      EXPECT_EQ(s->h.messages->Records().size(), suppress ? 0u : 1u);
      EXPECT_TRUE(s->h.HoldsOnlyItsOwnReferences());
    }
  }

  // Each operation failing at every call also breaks the reset where the
  // reset uses it; then the caller gets the host's error.
  const std::vector<std::string> reset = {"Document.PropertySets", "PropertySets.Item",
                                          "PropertySet.Item", "Property.SetValue"};
  for (const auto& operation : operations) {
    SCOPED_TRACE("every " + operation + " fails");
    auto s = scene(false);
    s->h.host.FailOperation(operation, planned);
    const bool resetFails = std::find(reset.begin(), reset.end(), operation) != reset.end();
    const bool noDrawing =
        operation == "Application.ActiveDocument" || operation == "Document.AsDrawingDocument";
    EXPECT_EQ(s->Update(), resetFails ? planned : noDrawing ? hresult::ObjectNotSet : 0);
    EXPECT_THAT(s->h.messages->Records(), ElementsAre(kFailureBox));
    EXPECT_TRUE(s->h.HoldsOnlyItsOwnReferences());
  }
}

} // namespace
} // namespace vantelo::test
