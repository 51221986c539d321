// The fraction n/d, with d from 2 to 1000, that ScaleToText shows for the
// fractional part of a view scale.
//
// The result is defined by a search over every denominator from 1000 down to
// 2: for each i, n = f * i rounded half to even, and the error |f - n / i| is
// computed in double precision and stored as a single; the last i whose error
// is at most the best so far wins, so among equal errors the smallest
// denominator wins (0.5 is 1/2, not 500/1000). Denominator 1 is never tried: a
// fraction just below 1 comes out as 2/2. A fractional part below the single
// 0.001 counts as zero and gives 0/0.
//
// NearestFractionByFullSearch runs that search as written and is the
// reference; NearestFraction gives the same numerator and denominator for
// every single, from a handful of denominators.
#pragma once

#include <cstdint>

namespace vantelo {

struct Fraction {
  std::int32_t numerator = 0;
  std::int32_t denominator = 0;
  friend bool operator==(const Fraction&, const Fraction&) = default;
};

// The smallest fractional part that is searched; anything below it counts as
// zero. Compared as a single.
inline const float kFractionThreshold = static_cast<float>(1e-3);

// The largest denominator tried.
inline constexpr std::int32_t kLargestDenominator = 1000;

// The search over all 999 denominators.
Fraction NearestFractionByFullSearch(float f);

// The same result, found from the neighbours of f among the fractions with
// denominators up to 1000. f is meant to be a fractional part in [0, 1); any
// other value (1 or more, NaN) is handed to the full search.
Fraction NearestFraction(float f);

} // namespace vantelo
