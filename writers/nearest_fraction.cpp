#include "writers/nearest_fraction.h"

#include "addin/vb_conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vantelo {
namespace {

// The error of n / d against f, in double precision, stored as a single.
float FractionError(float f, std::int32_t n, std::int32_t d) {
  return static_cast<float>(std::fabs(static_cast<double>(f) - vb::Divide(n, d)));
}

// One denominator of the full search: its numerator and its error.
struct Candidate {
  std::int32_t numerator;
  std::int32_t denominator;
  float error;
};

Candidate CandidateAt(float f, std::int32_t i) {
  const std::int32_t n = vb::RoundToLong(static_cast<double>(f) * i);
  return {n, i, FractionError(f, n, i)};
}

// A fraction p/q in lowest terms, 0 <= p <= q.
struct Ratio {
  std::int64_t p;
  std::int64_t q;
};

// Every single from 2^-10 up is a whole multiple of 2^-33, so such an f is
// exactly scaled / 2^33 and comparisons with p/q are exact in 64-bit integers
// (scaled < 2^33, q <= 1000).
constexpr int kScaleBits = 33;
constexpr std::int64_t kScale = std::int64_t{1} << kScaleBits;

// The two fractions lo < hi that are neighbours among all fractions with
// denominators up to 1000 and enclose f: lo <= f < hi. Walks down the
// Stern-Brocot tree, taking each run of steps in one direction at once, so it
// needs about as many steps as f's continued fraction has terms.
void FareyNeighbours(std::int64_t scaled, Ratio& lo, Ratio& hi) {
  lo = {0, 1};
  hi = {1, 1};
  while (lo.q + hi.q <= kLargestDenominator) {
    const std::int64_t aboveLo = scaled * lo.q - kScale * lo.p; // >= 0
    const std::int64_t belowHi = kScale * hi.p - scaled * hi.q; // > 0
    if (scaled * (lo.q + hi.q) >= kScale * (lo.p + hi.p)) {
      // The mediant is at or below f: lo + k*hi stays at or below f while
      // k * belowHi <= aboveLo.
      const std::int64_t k = std::min(aboveLo / belowHi, (kLargestDenominator - lo.q) / hi.q);
      lo = {lo.p + k * hi.p, lo.q + k * hi.q};
    } else {
      // The mediant is above f: hi + k*lo stays above f while
      // k * aboveLo < belowHi.
      std::int64_t k = (kLargestDenominator - hi.q) / lo.q;
      if (aboveLo > 0)
        k = std::min(k, (belowHi - 1) / aboveLo);
      hi = {hi.p + k * lo.p, hi.q + k * lo.q};
    }
  }
}

// The denominator at which the full search first meets the value p/q: q
// itself, or 2 for 0/1 and 1/1.
std::int32_t FirstDenominator(const Ratio& r) {
  return static_cast<std::int32_t>(std::max<std::int64_t>(r.q, 2));
}

} // namespace

Fraction NearestFractionByFullSearch(float f) {
  Fraction best;
  if (kFractionThreshold > f)
    return best;
  best.denominator = kLargestDenominator;
  best.numerator = vb::RoundToLong(static_cast<double>(f) * kLargestDenominator);
  float bestError = FractionError(f, best.numerator, best.denominator);
  for (std::int32_t i = kLargestDenominator; i >= 2; --i) {
    const std::int32_t n = vb::RoundToLong(static_cast<double>(f) * i);
    const float e = FractionError(f, n, i);
    if (e <= bestError) {
      best = {n, i};
      bestError = e;
    }
  }
  return best;
}

// Why a few denominators give the full search's result:
//
// 1. The error at i depends only on the value n/i: the double quotient is the
//    correctly rounded value of the rational n/i, so 2/4 and 1/2 give the same
//    quotient and the same error.
// 2. The smallest i at which the search meets a value p/q (lowest terms) is
//    q, or 2 when q is 1. If round(f*k*q) = k*p for some k >= 2, then
//    |f*q - p| <= 1/(2k) < 1/2, so round(f*q) = p. For 0/1: round(f*i) = 0
//    means f*i <= 1/2, and then f*2 <= 1/2 too. For 1/1: round(f*i) = i
//    means 1 - f <= 1/(2i) <= 1/4, and then round(f*2) = 2.
// 3. Hence the winner (the smallest i of least error) is FirstDenominator of
//    its value, and that value is a fraction with a denominator up to 1000
//    whose error is at most any error met so far.
// 4. Take the error B at the two neighbours of f as a first bound. An error
//    stored as at most B means an exact distance |f - n/i| of at most
//    B * (1 + 2^-22) + 2^-53 (the single rounding, the double subtraction and
//    the double quotient). All fractions that near f are visited by walking
//    outward from the neighbours along the Farey sequence until the first
//    one beyond a slightly wider limit (it allows for the rounding of the
//    distance computed here, which only grows outward), and the search's own
//    formula is evaluated at each one's FirstDenominator.
// Near f there are only a few such fractions (usually the two neighbours).
Fraction NearestFraction(float f) {
  if (kFractionThreshold > f)
    return {};
  if (!(f < 1.0f))
    return NearestFractionByFullSearch(f);
  const double scaledValue = std::ldexp(static_cast<double>(f), kScaleBits);
  const auto scaled = static_cast<std::int64_t>(scaledValue);
  if (static_cast<double>(scaled) != scaledValue)
    return NearestFractionByFullSearch(f);

  Ratio lo{}, hi{};
  FareyNeighbours(scaled, lo, hi);

  Candidate best = CandidateAt(f, FirstDenominator(lo));
  auto consider = [&](const Ratio& r) {
    const Candidate c = CandidateAt(f, FirstDenominator(r));
    if (c.error < best.error || (c.error == best.error && c.denominator < best.denominator))
      best = c;
  };
  consider(hi);

  const double limit = static_cast<double>(best.error) * (1.0 + 0x1p-20) + 0x1p-50;
  auto near = [&](const Ratio& r) {
    const double value = static_cast<double>(r.p) / static_cast<double>(r.q);
    return std::fabs(static_cast<double>(f) - value) <= limit;
  };

  // Walks the Farey sequence outward from the neighbours `from` and `other`
  // (past `from`, away from `other`) while the terms stay near f and within
  // [0, 1]: below lo it gives the term before each, above hi the term after.
  const auto walk = [&](Ratio from, Ratio other, auto inside) {
    while (inside(from)) {
      const std::int64_t k = (kLargestDenominator + other.q) / from.q;
      const Ratio next{k * from.p - other.p, k * from.q - other.q};
      if (!near(next))
        break;
      consider(next);
      other = from;
      from = next;
    }
  };
  walk(lo, hi, [](const Ratio& r) { return r.p > 0; });
  walk(hi, lo, [](const Ratio& r) { return r.p < r.q; });
  return {best.numerator, best.denominator};
}

} // namespace vantelo
