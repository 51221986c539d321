// The portable floating-point to_chars/from_chars against the C++ library's
// own, which this build has: every form the core uses, on values chosen at
// the edges (powers of two, halves, subnormals, the largest values) and on
// a sweep of random bit patterns.
#include "addin/float_chars.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vantelo {
namespace {

namespace fb = float_chars::fallback;

// Room for the longest fixed text: sign, 309 digits, point, 1074 decimals.
using Buffer = std::array<char, 1400>;

template <class Call> std::string Text(Call call) {
  Buffer buffer{};
  const std::to_chars_result result = call(buffer.data(), buffer.data() + buffer.size());
  if (result.ec != std::errc())
    return "error " + std::to_string(static_cast<int>(result.ec));
  return std::string(buffer.data(), result.ptr);
}

std::vector<double> EdgeDoubles() {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                0.1,
                                0.5,
                                0.125,
                                0.465,
                                4.135,
                                1.5,
                                2.5,
                                1e15,
                                1e16,
                                1e21,
                                1e22,
                                1e23,
                                123456789012345680000.0,
                                12300000000000001048576.0,
                                9007199254740993.0,
                                5e-324,
                                2.2250738585072014e-308,
                                2.2250738585072009e-308,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                1.0 / 3.0,
                                2.0 / 3.0,
                                0.00001,
                                0.000001,
                                1234.5,
                                std::nextafter(1.0, 2.0),
                                std::nextafter(1.0, 0.0)};
  // Powers of two, where the interval that reads back is lopsided.
  for (int e = -1074; e <= 1023; e += 7)
    values.push_back(std::ldexp(1.0, e));
  return values;
}

std::vector<double> RandomDoubles(std::size_t count) {
  std::mt19937_64 random(20261208);
  std::vector<double> values;
  while (values.size() < count) {
    const double value = std::bit_cast<double>(random());
    if (std::isfinite(value))
      values.push_back(value);
  }
  return values;
}

std::vector<double> AllDoubles() {
  std::vector<double> values = EdgeDoubles();
  for (double value : RandomDoubles(20000))
    values.push_back(value);
  return values;
}

TEST(FloatChars, ShortestTextsMatchTheLibrary) {
  for (double value : AllDoubles()) {
    ASSERT_EQ(Text([&](char* f, char* l) { return fb::ToChars(f, l, value); }),
              Text([&](char* f, char* l) { return std::to_chars(f, l, value); }))
        << std::hexfloat << value;
    const float single = static_cast<float>(value);
    ASSERT_EQ(Text([&](char* f, char* l) { return fb::ToChars(f, l, single); }),
              Text([&](char* f, char* l) { return std::to_chars(f, l, single); }))
        << std::hexfloat << single;
  }
}

TEST(FloatChars, PrecisionTextsMatchTheLibrary) {
  struct Form {
    std::chars_format format;
    std::vector<int> precisions;
  };
  const Form forms[] = {
      {std::chars_format::fixed, {0, 1, 2, 3, 5, 15, 22, 40, 1073, 1074}},
      {std::chars_format::scientific, {0, 1, 6, 14, 16, 17, 30}},
      {std::chars_format::general, {0, 1, 6, 15, 17}},
  };
  std::vector<double> values = EdgeDoubles();
  for (double value : RandomDoubles(300))
    values.push_back(value);
  for (const Form& form : forms)
    for (int precision : form.precisions)
      for (double value : values) {
        ASSERT_EQ(Text([&](char* f, char* l) {
                    return fb::ToChars(f, l, value, form.format, precision);
                  }),
                  Text([&](char* f, char* l) {
                    return std::to_chars(f, l, value, form.format, precision);
                  }))
            << std::hexfloat << value << " format " << static_cast<int>(form.format)
            << " precision " << precision;
        const float single = static_cast<float>(value);
        ASSERT_EQ(Text([&](char* f, char* l) {
                    return fb::ToChars(f, l, single, form.format, precision);
                  }),
                  Text([&](char* f, char* l) {
                    return std::to_chars(f, l, single, form.format, precision);
                  }))
            << std::hexfloat << single << " precision " << precision;
      }
}

TEST(FloatChars, ATextThatDoesNotFitIsRefusedLikeTheLibrary) {
  for (double value : {0.0, 1.5, -123.25, 1e300, 5e-324})
    for (std::size_t room : {0u, 1u, 3u, 5u}) {
      std::array<char, 8> mine{}, theirs{};
      const auto a = fb::ToChars(mine.data(), mine.data() + room, value);
      const auto b = std::to_chars(theirs.data(), theirs.data() + room, value);
      EXPECT_EQ(a.ec, b.ec) << value << " in " << room;
      EXPECT_EQ(a.ptr - mine.data(), b.ptr - theirs.data()) << value << " in " << room;
    }
}

TEST(FloatChars, ReadingMatchesTheLibrary) {
  std::vector<std::string> texts = {
      "0",
      "-0",
      "1",
      "+1",
      " 1",
      "",
      "-",
      ".",
      ".5",
      "5.",
      "-.5e1",
      "1e",
      "1e+",
      "1e-5x",
      "1E5",
      "1.5e3x",
      "0x1p3",
      "inf",
      "-INF",
      "Infinity",
      "infinit",
      "nan",
      "-nan(12_ab)",
      "nan(",
      "1e400",
      "-1e400",
      "1e-400",
      "4e-324",
      "2e-324",
      "3e-324",
      "1e-320",
      "0.000e999",
      "00000012.50",
      "1234567890123456789012345678901234567890",
      "2.4703282292062327e-324",
      "2.4703282292062328e-324",
      "17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797"
      "75872070963302864166928879109465555478519404026306574886715058206819089020007083836762738548"
      "45817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711"
      "559699508093042880177904174497791.9999999999",
  };
  for (double value : AllDoubles())
    texts.push_back(Text([&](char* f, char* l) { return std::to_chars(f, l, value); }));
  for (double value : RandomDoubles(200))
    texts.push_back(Text([&](char* f, char* l) {
      return std::to_chars(f, l, value, std::chars_format::fixed, 30);
    }));

  for (const std::string& text : texts) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    double mine = 42.0, theirs = 42.0;
    const auto a = fb::FromChars(first, last, mine);
    const auto b = std::from_chars(first, last, theirs);
    EXPECT_EQ(a.ec, b.ec) << '"' << text << '"';
    EXPECT_EQ(a.ptr - first, b.ptr - first) << '"' << text << '"';
    if (std::isnan(theirs))
      EXPECT_TRUE(std::isnan(mine) && std::signbit(mine) == std::signbit(theirs)) << text;
    else
      EXPECT_EQ(std::bit_cast<std::uint64_t>(mine), std::bit_cast<std::uint64_t>(theirs))
          << '"' << text << '"';
  }
}

} // namespace
} // namespace vantelo
