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
  PaperSizeTest() { h.useDefaultSettings(); }

  // Stores the paper size of a drawing whose first sheet has the code.
  std::string Stored(std::int32_t code) {
    auto& drawing = h.host.addDocument(
        {.name = "A.idw", .type = document_type::Drawing, .sheets = {{.size = code}}});
    h.makeActive(&drawing);
    h.addin->PaperSize();
    EXPECT_TRUE(h.holdsOnlyItsOwnReferences());
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
  auto& drawing = h.host.addDocument({.name = "A.idw",
                                      .type = document_type::Drawing,
                                      .sheets = {{.size = 9996}, {.size = 9994}},
                                      .activeSheet = 1});
  drawing.propertySets[0].properties.add({.name = "PaperSize", .value = std::string("A0")});
  h.makeActive(&drawing);
  h.addin->PaperSize();
  EXPECT_EQ(UserProperty(drawing, "PaperSize"), "A3");
  EXPECT_EQ(drawing.propertySet(fmtid::UserDefined)->properties.size(), 1u);
}

TEST_F(PaperSizeTest, FailuresBeforeStoringReachTheCallerAndChangeNothing) {
  auto& part = h.host.addDocument({.name = "P.ipt", .type = document_type::Part});
  part.propertySets[0].properties.add({.name = "PaperSize", .value = std::string("A0")});
  const std::string before = sim::describePropertySets(part);
  h.makeActive(&part);
  EXPECT_EQ(failureCode([&] { h.addin->PaperSize(); }), hresult::NoInterface);
  EXPECT_EQ(sim::describePropertySets(part), before);

  // A drawing without sheets has no first sheet.
  auto& empty = h.host.addDocument({.name = "E.idw", .type = document_type::Drawing});
  h.makeActive(&empty);
  EXPECT_NE(failureCode([&] { h.addin->PaperSize(); }), 0);
  EXPECT_TRUE(empty.propertySet(fmtid::UserDefined)->properties.empty());
  EXPECT_TRUE(h.holdsOnlyItsOwnReferences());
}

} // namespace
} // namespace vantelo::test
