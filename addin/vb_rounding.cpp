#include "addin/vb_rounding.h"

#include "addin/failure.h"
#include "addin/float_chars.h"
#include "addin/vb_failures.h"
#include "addin/vb_numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace vantelo::vb {
namespace {

double RoundHalfEvenToWhole(double x) {
  const double r = std::round(x); // halves away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5)
    return 2.0 * std::round(x / 2.0);
  return r;
}

// 10^0 to 10^22: the powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The whole number nearest to the exact product magnitude x scale, of which
// `scaled` is the rounded double (0 <= scaled < 2^52, scale a power of ten
// held exactly). Every half below 2^52 is a double and rounding is
// monotonic, so a product rounded to below (above) a half was below (above)
// it already; only a product rounded onto a half needs the rounding error
// of the multiplication, which fma gives exactly. An exact half of the
// stored value goes to the even neighbour.
double RoundScaledHalfEven(double magnitude, double scale, double scaled) {
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole; // exact
  if (fraction != 0.5)
    return fraction < 0.5 ? whole : whole + 1.0;
  const double error = std::fma(magnitude, scale, -scaled);
  if (error != 0.0)
    return error > 0.0 ? whole + 1.0 : whole;
  return std::fmod(whole, 2.0) == 0.0 ? whole : whole + 1.0;
}

// The same rounding through the value's exact decimal expansion, for what
// the product cannot decide (more than 22 decimals, products from 2^52 up to
// 2^53): the fixed notation of to_chars is the exact value rounded half to
// even, and from_chars takes that decimal to the nearest double.
double RoundByDecimalDigits(double value, int decimals) {
  // Every double is a multiple of 2^-1074, whose expansion has 1074
  // decimals: with as many decimals there is nothing to round.
  constexpr int kMostDecimals = 1074;
  if (decimals >= kMostDecimals)
    return value;
  // Sign, 309 digits before the point, the point, the decimals.
  std::array<char, 1 + 309 + 1 + kMostDecimals> buffer{};
  const auto written = float_chars::ToChars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
  double rounded = value;
  float_chars::FromChars(buffer.data(), written.ptr, rounded);
  return rounded;
}

} // namespace

std::int16_t RoundToInteger(double value) {
  const double rounded = RoundHalfEvenToWhole(value);
  if (!(rounded >= -32768.0 && rounded <= 32767.0))
    Overflow("value outside -32768..32767");
  return static_cast<std::int16_t>(rounded);
}

std::int32_t RoundToLong(double value) {
  const double rounded = RoundHalfEvenToWhole(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
    Overflow("value outside the 32-bit range");
  return static_cast<std::int32_t>(rounded);
}

double Round(double value, int decimals) {
  if (decimals < 0)
    throw Failure(hresult::InvalidProcedureCall,
                  "Invalid procedure call: cannot round to a negative number of decimals");
  Checked(value);
  // Rounding is symmetric, so the magnitude is rounded and the sign put back
  // (which also keeps the sign of a zero result).
  const double magnitude = std::fabs(value);
  if (static_cast<std::size_t>(decimals) < kExactPowersOfTen.size()) {
    const double scale = kExactPowersOfTen[static_cast<std::size_t>(decimals)];
    const double scaled = magnitude * scale;
    if (scaled < 0x1p52)
      return std::copysign(RoundScaledHalfEven(magnitude, scale, scaled) / scale, value);
    // The decimals are finer than the value's own precision: no multiple of
    // 10^-decimals lies nearer to another double than to the value.
    if (scaled >= 0x1p53)
      return value;
  }
  return RoundByDecimalDigits(value, decimals);
}

} // namespace vantelo::vb
