// The fraction search of ScaleToText: the fast search must give exactly the
// numerator and denominator of the full search over all 999 denominators,
// for every fractional part. bench/scale_text_sweep.cpp runs the same
// comparison over far more values (every single in [0.001, 1) with --all).
#include "support/failure_code.h"
#include "writers/nearest_fraction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace vantelo::test {
namespace {

// The sweeps below cost one full search per value; under the sanitizers that
// search is many times slower, so they take every 16th value there.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kThinning = 16;
#else
constexpr int kThinning = 1;
#endif

// Compares the two searches; returns how many values differed and reports
// the first few.
class Comparison {
public:
  void operator()(float f) {
    ++compared_;
    const Fraction fast = NearestFraction(f);
    const Fraction full = NearestFractionByFullSearch(f);
    if (fast == full)
      return;
    if (++differences_ <= 10)
      ADD_FAILURE() << "f = " << std::hexfloat << f << std::defaultfloat << " (" << f << "): fast "
                    << fast.numerator << "/" << fast.denominator << ", full " << full.numerator
                    << "/" << full.denominator;
  }
  int Differences() const { return differences_; }
  int Compared() const { return compared_; }

private:
  int compared_ = 0;
  int differences_ = 0;
};

TEST(NearestFraction, WorkedFractionalParts) {
  struct Row {
    float f;
    Fraction expected;
  };
  const Row rows[] = {
      {0.5f, {1, 2}},
      {0.25f, {1, 4}},
      {0.3333f, {1, 3}},
      {0.75f, {3, 4}},
      {0.66f, {33, 50}},
      {0.0254f, {19, 748}},
      {0.001f, {1, 1000}},
      {0.0009f, {0, 0}},
      {0.0f, {0, 0}},
      {0.9999f, {2, 2}},
      {0.2f, {1, 5}},
      {0.02f, {1, 50}},
      // Just below the threshold, and the largest single below 1.
      {std::nextafter(kFractionThreshold, 0.0f), {0, 0}},
      {std::nextafter(1.0f, 0.0f), {2, 2}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NearestFraction(row.f), row.expected) << row.f;
    EXPECT_EQ(NearestFractionByFullSearch(row.f), row.expected) << row.f;
  }
}

TEST(NearestFraction, ValuesOutsideAFractionalPartGiveTheFullSearchResult) {
  for (float f : {-0.5f, -0.0f, 1.0f, 1.5f, 999.75f, std::numeric_limits<float>::denorm_min()})
    EXPECT_EQ(NearestFraction(f), NearestFractionByFullSearch(f)) << f;
  for (float f :
       {std::numeric_limits<float>::quiet_NaN(), 3e9f, std::numeric_limits<float>::infinity()}) {
    EXPECT_EQ(FailureCode([&] { NearestFraction(f); }), hresult::Overflow) << f;
    EXPECT_EQ(FailureCode([&] { NearestFractionByFullSearch(f); }), hresult::Overflow) << f;
  }
}

// The hard cases: singles at and beside fractions with small denominators
// (where errors tie, or nearly tie, between several denominators) and beside
// the midpoints between neighbouring fractions (where the nearest fraction is
// farthest away).
TEST(NearestFraction, MatchesTheFullSearchBesideFractionsAndMidpoints) {
  Comparison compare;
  auto around = [&](double value) {
    float f = static_cast<float>(value);
    for (int step = 0; step < 3; ++step)
      f = std::nextafter(f, 0.0f);
    for (int k = 0; k < 7; ++k, f = std::nextafter(f, 1.0f))
      if (f >= 0.0f && f < 1.0f)
        compare(f);
  };
  for (int q = 1; q <= 64; q += kThinning)
    for (int p = 0; p <= q; ++p)
      if (std::gcd(p, q) == 1) {
        around(static_cast<double>(p) / q);
        around((p + 0.5) / q);
      }
  for (int q = 995; q <= 1000; ++q)
    for (int p = 1; p < q; p += 7 * kThinning)
      around((p + 0.5) / q);
  EXPECT_EQ(compare.Differences(), 0) << "of " << compare.Compared();
}

TEST(NearestFraction, MatchesTheFullSearchOnADenseGridAndAtRandom) {
  Comparison compare;
  const double step = 0x1p-16 * kThinning;
  for (double x = std::ceil(0.001 / step) * step; x < 1.0; x += step)
    compare(static_cast<float>(x));
  std::mt19937 random(8);
  std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
  for (int k = 0; k < 40000 / kThinning; ++k)
    compare(uniform(random));
  EXPECT_EQ(compare.Differences(), 0) << "of " << compare.Compared();
}

} // namespace
} // namespace vantelo::test
