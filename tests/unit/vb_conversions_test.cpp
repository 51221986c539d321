#include "addin/failure.h"
#include "addin/vb_conversions.h"
#include "support/addin_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace vantelo {
namespace {

std::optional<std::int32_t> FailureCode(auto&& call) {
  try {
    call();
  } catch (const Failure& failure) {
    return failure.Code();
  }
  return std::nullopt;
}

// Replaces "." in a text written for the "." locale by the given separator.
std::string Localized(std::string text, const std::string& separator) {
  if (const auto dot = text.find('.'); dot != std::string::npos)
    text.replace(dot, 1, separator);
  return text;
}

class BothSeparators : public ::testing::TestWithParam<std::string> {};
INSTANTIATE_TEST_SUITE_P(Locales, BothSeparators, ::testing::Values(".", ","), test::SeparatorName);

TEST_P(BothSeparators, TextToBooleanAcceptsWordsAndNumbers) {
  const std::string sep = GetParam();
  struct Case {
    std::string text;
    bool expected;
  } cases[] = {{"True", true},   {"true", true}, {"TRUE", true}, {" False ", false},
               {"fALSE", false}, {"1", true},    {"-1", true},   {"0", false},
               {"0.0", false},   {"0.5", true},  {"2e3", true},  {"-0", false}};
  for (const auto& c : cases)
    EXPECT_EQ(vb::TextToBoolean(Localized(c.text, sep), sep), c.expected) << c.text;
}

TEST_P(BothSeparators, TextToBooleanRefusesOtherText) {
  const std::string sep = GetParam();
  for (const char* text : {"yes", "", " ", "Truee", "1x", "on", "--1"})
    EXPECT_EQ(FailureCode([&] { vb::TextToBoolean(text, sep); }), hresult::TypeMismatch) << text;
}

TEST_P(BothSeparators, TextToIntegerRoundsHalfToEvenAndChecksTheRange) {
  const std::string sep = GetParam();
  struct Case {
    std::string text;
    int expected;
  } cases[] = {{"2", 2},     {"2.5", 2},         {"3.5", 4},          {"-2.5", -2},
               {"2.51", 3},  {" 7 ", 7},         {"32767", 32767},    {"-32768", -32768},
               {"1e2", 100}, {"32767.4", 32767}, {"-32768.5", -32768}};
  for (const auto& c : cases)
    EXPECT_EQ(vb::TextToInteger(Localized(c.text, sep), sep), c.expected) << c.text;
  for (const char* text : {"40000", "32768", "-32769", "1e10", "1e400"})
    EXPECT_EQ(FailureCode([&] { vb::TextToInteger(text, sep); }), hresult::Overflow) << text;
  for (const char* text : {"two", "", "2,5,", "1..2"})
    EXPECT_EQ(FailureCode([&] { vb::TextToInteger(text, sep); }), hresult::TypeMismatch) << text;
}

TEST(VbConversions, TheOtherSeparatorIsNotANumber) {
  EXPECT_EQ(FailureCode([] { vb::TextToDouble("2.5", ","); }), hresult::TypeMismatch);
  EXPECT_EQ(FailureCode([] { vb::TextToDouble("2,5", "."); }), hresult::TypeMismatch);
  EXPECT_DOUBLE_EQ(vb::TextToDouble("2,5", ","), 2.5);
  EXPECT_DOUBLE_EQ(vb::TextToDouble(".5", "."), 0.5);
  EXPECT_DOUBLE_EQ(vb::TextToDouble("5.", "."), 5.0);
}

TEST_P(BothSeparators, DoubleToTextUsesTheGeneralForm) {
  const std::string sep = GetParam();
  struct Case {
    double value;
    std::string expected;
  } cases[] = {{0.0, "0"},
               {-0.0, "0"},
               {1.5, "1.5"},
               {12.0, "12"},
               {123456.0, "123456"},
               {2.5, "2.5"},
               {0.1 + 0.2, "0.3"},
               {1.4000000000000001, "1.4"},
               {0.14 * 10.0, "1.4"},
               {-7.53, "-7.53"},
               {1.0 / 3.0, "0.333333333333333"},
               {123456789012345.0, "123456789012345"},
               {1e15, "1E+15"},
               {1.5e20, "1.5E+20"},
               {0.00001, "0.00001"},
               {0.000001, "1E-06"},
               {1.25e-7, "1.25E-07"}};
  for (const auto& c : cases)
    EXPECT_EQ(vb::DoubleToText(c.value, sep), Localized(c.expected, sep)) << c.value;
}

TEST_P(BothSeparators, SingleToTextKeepsSevenDigits) {
  const std::string sep = GetParam();
  struct Case {
    float value;
    std::string expected;
  } cases[] = {{1.5f, "1.5"},
               {2.0f, "2"},
               {748.0f, "748"},
               {1000.0f, "1000"},
               {1.33f, "1.33"},
               {0.1f, "0.1"},
               {1234567.0f, "1234567"},
               {12345678.0f, "1.234568E+07"},
               {1.0f / 3.0f, "0.3333333"}};
  for (const auto& c : cases)
    EXPECT_EQ(vb::SingleToText(c.value, sep), Localized(c.expected, sep)) << c.value;
}

TEST(VbConversions, RoundSendsExactHalvesToTheEvenNeighbour) {
  struct Case {
    double value;
    int decimals;
    double expected;
  } cases[] = {{1.23456, 2, 1.23}, {1234.56, 2, 1234.56},   {2.72173, 2, 2.72}, {0.5, 0, 0.0},
               {1.5, 0, 2.0},      {2.5, 0, 2.0},           {-2.5, 0, -2.0},    {0.125, 2, 0.12},
               {0.375, 2, 0.38},   {123456.0, 2, 123456.0}, {7.5336, 2, 7.53},  {1.0, 300, 1.0}};
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(vb::Round(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals;
  EXPECT_EQ(FailureCode([] { vb::Round(1.0, -1); }), hresult::InvalidProcedureCall);
  EXPECT_EQ(FailureCode([] { vb::Round(std::numeric_limits<double>::infinity(), 2); }),
            hresult::Overflow);
}

// The exact stored value decides, not the product with 10^decimals, which
// can itself round onto a half (0.465 x 100 gives 46.5).
TEST(VbConversions, RoundGoesByTheExactStoredValue) {
  struct Case {
    double value;
    int decimals;
    double expected;
  } cases[] = {
      {0.465, 2, 0.47},                       // 0.46500000000000002442...
      {1.245, 2, 1.25},                       // 1.24500000000000010658...
      {0.235, 2, 0.23},                       // 0.23499999999999998667...
      {4.135, 2, 4.13},                       // 4.13499999999999978683...
      {0.125, 2, 0.12},                       // exactly half way
      {-0.465, 2, -0.47},                     // the same on the negative side
      {123456789012.345, 2, 123456789012.35}, // a little above
      // Products from 2^52 to 2^53, and more decimals than 10^n holds exactly.
      {450000000000000.25, 1, 450000000000000.2}, // exactly half way
      {1.5e-30, 30, 1e-30},
      {2.5e-25, 25, 2e-25},
      {1e22, 2, 1e22},
      {5e-324, 400, 5e-324},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vb::Round(c.value, c.decimals), c.expected) << c.value << " to " << c.decimals;
  EXPECT_TRUE(std::signbit(vb::Round(-0.001, 2)));
}

TEST(VbConversions, ValReadsTheLeadingNumberWithAPoint) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {{"3 pcs", 3}, {"4", 4},       {"  2.5kg", 2.5}, {"-", 0},       {"abc", 0},
               {"", 0},      {"1 2 3", 123}, {"\t\n7", 7},     {"1.2.3", 1.2}, {"2,5", 2},
               {"-3", -3},   {"- 3", -3},    {"+4", 4},        {"1e3", 1000},  {"1e", 1},
               {"1e+", 1},   {".5", 0.5},    {"5.", 5},        {"1d2", 100},   {"--1", 0}};
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(vb::Val(c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(FailureCode([] { vb::Val("1e999"); }), hresult::Overflow);
}

TEST(VbConversions, FloatingPointFaultsAreFailures) {
  EXPECT_EQ(FailureCode([] { vb::Divide(1.0, 0.0); }), hresult::DivisionByZero);
  EXPECT_EQ(FailureCode([] { vb::Divide(0.0, 0.0); }), hresult::Overflow);
  EXPECT_EQ(FailureCode([] { vb::Divide(1e308, 1e-308); }), hresult::Overflow);
  EXPECT_EQ(FailureCode([] { vb::Checked(std::nan("")); }), hresult::Overflow);
  EXPECT_DOUBLE_EQ(vb::Divide(123.456, 16.387064), 123.456 / 16.387064);
}

// The 15-digit text of the largest doubles rounds up beyond the double range,
// so reading it back overflows, as in the host's macro language.
TEST(VbConversions, TheLargestDoublesPrintAsATextThatOverflows) {
  constexpr double largest = std::numeric_limits<double>::max();
  for (const double value : {largest, -largest}) {
    const std::string text = vb::DoubleToText(value, ".");
    EXPECT_EQ(text, value > 0 ? "1.79769313486232E+308" : "-1.79769313486232E+308");
    EXPECT_EQ(FailureCode([&] { vb::TextToDouble(text, "."); }), hresult::Overflow);
  }
  EXPECT_EQ(vb::DoubleToText(vb::TextToDouble("1.79769313486231E+308", "."), "."),
            "1.79769313486231E+308");
}

TEST(VbConversions, NarrowingRoundsAndChecksTheRange) {
  EXPECT_EQ(vb::RoundToInteger(32766.5), 32766);
  EXPECT_EQ(vb::RoundToInteger(-32768.0), -32768);
  EXPECT_EQ(FailureCode([] { vb::RoundToInteger(32767.5); }), hresult::Overflow);
  EXPECT_EQ(FailureCode([] { vb::RoundToInteger(std::nan("")); }), hresult::Overflow);

  constexpr float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(vb::ToSingle(0.1), 0.1f);
  EXPECT_EQ(vb::ToSingle(-static_cast<double>(largest) * (1 + 1e-9)), -largest);
  for (double value : {static_cast<double>(largest) * 1.0000001, -1e39,
                       std::numeric_limits<double>::infinity(), std::nan("")})
    EXPECT_EQ(FailureCode([&] { vb::ToSingle(value); }), hresult::Overflow) << value;
}

TEST(VbConversions, ValueToDoubleFollowsTheVariantRules) {
  EXPECT_EQ(vb::ValueToDouble(Value{}, "."), 0.0);
  EXPECT_EQ(vb::ValueToDouble(Value{true}, "."), -1.0);
  EXPECT_EQ(vb::ValueToDouble(Value{std::int16_t{7}}, "."), 7.0);
  EXPECT_EQ(vb::ValueToDouble(Value{2.5f}, "."), 2.5);
  EXPECT_EQ(vb::ValueToDouble(Value{std::string("1,5")}, ","), 1.5);
  EXPECT_EQ(FailureCode([] { vb::ValueToDouble(Value{std::string("x")}, "."); }),
            hresult::TypeMismatch);
}

TEST(VbConversions, UpperCaseAndReplaceFillScalePatterns) {
  EXPECT_EQ(vb::UpperCase("Scale x:y"), "SCALE X:Y");
  EXPECT_EQ(vb::UpperCase("Maßstab äöü éç"), "MAßSTAB ÄÖÜ ÉÇ");
  EXPECT_EQ(vb::UpperCase("ÿ ł ω ж"), "Ÿ Ł Ω Ж");
  EXPECT_EQ(vb::UpperCase(std::string("a\xff") + "b"), std::string("A\xff") + "B");
  EXPECT_EQ(vb::ReplaceText("MAX X:Y", "X", "1"), "MA1 1:Y");
  EXPECT_EQ(vb::ReplaceText("x/X", "X", "2"), "2/2");
  EXPECT_EQ(vb::ReplaceText("", "X", "2"), "");
}

TEST(VbConversions, DatesCountDaysFrom18991230) {
  EXPECT_EQ(vb::ToDate({1899, 12, 30, 0, 0, 0}).days, 0.0);
  EXPECT_EQ(vb::ToDate({1900, 1, 1, 0, 0, 0}).days, 2.0);
  EXPECT_EQ(vb::ToDate({2026, 12, 8, 0, 0, 0}).days, 46364.0);
  EXPECT_DOUBLE_EQ(vb::ToDate({2026, 12, 8, 18, 0, 0}).days, 46364.75);
  const LocalDateTime back = vb::FromDate(Date{46364.75});
  EXPECT_EQ(back.year, 2026);
  EXPECT_EQ(back.month, 12);
  EXPECT_EQ(back.day, 8);
  EXPECT_EQ(back.hour, 18);
  EXPECT_EQ(vb::FormatHourMinute({2026, 1, 1, 9, 5, 59}, ":"), "09:05");
  EXPECT_EQ(vb::FormatHourMinute({2026, 1, 1, 21, 30, 0}, "."), "21.30");
}

} // namespace
} // namespace vantelo
