// ScaleToText: the fraction search, the enlargement rules, the patterns and
// the number texts, under a "." and a "," decimal separator.
#include "support/addin_harness.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vantelo::test {
namespace {

using Access = clsVanteloTestAccess;

class ScaleText : public SeparatorTest {
protected:
  std::string Text(float scale, bool firstView = true) {
    return Access::ScaleToText(*h.addin, scale, firstView);
  }
};

struct WorkedRow {
  float scale;
  const char* plain;  // ShowScaleAsInventor false
  const char* asHost; // ShowScaleAsInventor true, 2 decimals
};

const WorkedRow kWorked[] = {
    {0.5f, "1:2", "1:2"},
    {0.25f, "1:4", "1:4"},
    {0.3333f, "1:3", "1:3"},
    {0.75f, "3:4", "3:4"},
    {0.66f, "33:50", "33:50"},
    {0.0254f, "19:748", "19:748"},
    {0.001f, "1:1000", "1:1000"},
    {0.0009f, "0:0", "0:0"},
    {0.0f, "0:0", "0:0"},
    {0.9999f, "2:2", "2:2"},
    {1.0f, "1:1", "1:1"},
    {2.0f, "2:1", "2:1"},
    {1.5f, "1:1", "1.5:1"},
    {1.25f, "1:1", "1.25:1"},
    {2.5f, "2:1", "2.5:1"},
    {1.33333f, "1:1", "1.33:1"},
    // Among equally good fractions the smallest denominator wins.
    {0.2f, "1:5", "1:5"},
    {0.02f, "1:50", "1:50"},
    // Just above 1, rounding to 1 at two decimals.
    {1.0004f, "1:1", "1:1"},
    // A mirrored view reads as its magnitude.
    {-0.5f, "1:2", "1:2"},
    {-2.0f, "2:1", "2:1"},
    {-1.5f, "1:1", "1.5:1"},
    {-0.0f, "0:0", "0:0"},
};

TEST_P(ScaleText, WorkedResults) {
  for (const WorkedRow& row : kWorked) {
    h.addin->ShowScaleAsInventor = false;
    EXPECT_EQ(Text(row.scale), Expected(row.plain)) << row.scale;
    h.addin->ShowScaleAsInventor = true;
    EXPECT_EQ(Text(row.scale), Expected(row.asHost)) << row.scale;
  }
}

TEST_P(ScaleText, TheThresholdIsTheSinglePrecisionThousandth) {
  const float threshold = static_cast<float>(1e-3);
  EXPECT_EQ(Text(threshold), "1:1000");
  EXPECT_EQ(Text(std::nextafter(threshold, 0.0f)), "0:0");
  // A whole number with a tiny fraction keeps only the whole part.
  h.addin->ShowScaleAsInventor = false;
  EXPECT_EQ(Text(3.0004f), "3:1");
}

TEST_P(ScaleText, EnlargementsShownAsTheHostDoesUseTheConfiguredDecimals) {
  h.addin->ShowScaleAsInventor = true;
  struct Row {
    std::int16_t decimals;
    float scale;
    const char* text;
  };
  for (const Row& row :
       {Row{0, 2.5f, "2:1"}, Row{0, 3.5f, "4:1"}, Row{1, 1.25f, "1.2:1"},
        Row{3, 1.33333f, "1.333:1"}, Row{7, 1.1f, "1.1:1"}, Row{2, 1234.567f, "1234.57:1"}}) {
    h.addin->ShowScaleAsInventorDecimals = row.decimals;
    EXPECT_EQ(Text(row.scale), Expected(row.text)) << row.scale << " at " << row.decimals;
  }
}

struct PatternRow {
  const char* pattern;
  const char* text;
};

TEST_P(ScaleText, PatternsAreUpperCasedAndEveryXAndYReplaced) {
  const PatternRow rows[] = {
      {"X:Y", "1:2"}, {"x/y", "1/2"},           {"Scale X:Y", "SCALE 1:2"}, {"Max X:Y", "MA1 1:2"},
      {"", ""},       {"no marks", "NO MARKS"}, {"XX-yy", "11-22"},         {"Y:X", "2:1"},
  };
  for (const PatternRow& row : rows) {
    h.addin->HowToDisplayFirstViewScale = row.pattern;
    EXPECT_EQ(Text(0.5f), row.text) << row.pattern;
  }
  // X's text is in place before Y is replaced: a Y it brought would be
  // replaced too, but number texts never hold one.
  h.addin->ShowScaleAsInventor = true;
  h.addin->HowToDisplayFirstViewScale = "x to y";
  EXPECT_EQ(Text(1.5f), Expected("1.5 TO 1"));
}

TEST_P(ScaleText, TheFlagChoosesThePattern) {
  h.addin->HowToDisplayFirstViewScale = "X:Y";
  h.addin->HowToDisplayAllViewScales = "Y/X";
  EXPECT_EQ(Text(0.5f, true), "1:2");
  EXPECT_EQ(Text(0.5f, false), "2/1");
}

TEST_P(ScaleText, ScalesOutsideTheWholeNumberRangeFailAsAnOverflow) {
  const float largest = std::nextafter(2147483648.0f, 0.0f);
  h.addin->ShowScaleAsInventor = false;
  EXPECT_EQ(Text(largest), Expected("2.147484E+09:1"));
  for (float scale : {2147483648.0f, -2147483648.0f, 1e30f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()})
    EXPECT_EQ(FailureCode([&] { Text(scale); }), hresult::Overflow) << scale;
}

TEST_P(ScaleText, NegativeDecimalsAreRefusedOnlyWhereTheRoundingRuns) {
  h.addin->ShowScaleAsInventor = true;
  h.addin->ShowScaleAsInventorDecimals = -1;
  EXPECT_EQ(FailureCode([&] { Text(1.5f); }), hresult::InvalidProcedureCall);
  EXPECT_EQ(Text(0.5f), "1:2");
  EXPECT_EQ(Text(1.0f), "1:1");
}

INSTANTIATE_TEST_SUITE_P(Separators, ScaleText, ::testing::Values(".", ","), SeparatorName);

} // namespace
} // namespace vantelo::test
