// PaperSize on drawings of the stand-in host.
#include "simhost/describe.h"
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <string>

namespace vantelo::test {
namespace {

class PaperSizeTest : public ::testing::Test {
protected:
  PaperSizeTest() { h.UseDefaultSettings(); }

  // Stores the paper size of a drawing whose first sheet has the code.
  std::string Stored(std::int32_t code) {
    auto& drawing = h.host.AddDocument(
        {.name = "A.idw", .type = document_type::Drawing, .sheets = {{.size = code}}});
    h.MakeActive(&drawing);
    h.addin->PaperSize();
    EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
    return UserProperty(drawing, "PaperSize");
  }

  AddinHarness h;
};

TEST_F(PaperSizeTest, EachSizeCodeHasItsText) {
  const std::pair<std::int32_t, const char*> rows[] = {
      {9986, "USER"},
      {9987, "A"},
      {9988, "B"},
      {9989, "C"},
      {9990, "D"},
      {9991, "E"},
      {9992, "F"},
      {9993, "A0"},
      {9994, "A1"},
      {9995, "A2"},
      {9996, "A3"},
      {9997, "A4"},
      // Codes outside the table store an empty text; the property stays.
      {9985, ""},
      {9998, ""},
      {0, ""},
      {-9986, ""},
      {2147483647, ""},
      {-2147483647 - 1, ""},
  };
  for (const auto& [code, text] : rows)
    EXPECT_EQ(Stored(code), text) << code;
}

TEST_F(PaperSizeTest, TheFirstSheetDecidesNotTheActiveOne) {
  auto& drawing = h.host.AddDocument({.name = "A.idw",
                                      .type = document_type::Drawing,
                                      .sheets = {{.size = 9996}, {.size = 9994}},
                                      .activeSheet = 1});
  drawing.propertySets[0].properties.Add({.name = "PaperSize", .value = std::string("A0")});
  h.MakeActive(&drawing);
  h.addin->PaperSize();
  EXPECT_EQ(UserProperty(drawing, "PaperSize"), "A3");
  EXPECT_EQ(drawing.PropertySet(fmtid::UserDefined)->properties.size(), 1u);
}

TEST_F(PaperSizeTest, FailuresBeforeStoringReachTheCallerAndChangeNothing) {
  auto& part = h.host.AddDocument({.name = "P.ipt", .type = document_type::Part});
  part.propertySets[0].properties.Add({.name = "PaperSize", .value = std::string("A0")});
  const std::string before = sim::DescribePropertySets(part);
  h.MakeActive(&part);
  EXPECT_EQ(FailureCode([&] { h.addin->PaperSize(); }), hresult::NoInterface);
  EXPECT_EQ(sim::DescribePropertySets(part), before);

  // A drawing without sheets has no first sheet.
  auto& empty = h.host.AddDocument({.name = "E.idw", .type = document_type::Drawing});
  h.MakeActive(&empty);
  EXPECT_NE(FailureCode([&] { h.addin->PaperSize(); }), 0);
  EXPECT_TRUE(empty.PropertySet(fmtid::UserDefined)->properties.empty());
  EXPECT_TRUE(h.HoldsOnlyItsOwnReferences());
}

} // namespace
} // namespace vantelo::test
