// Compares NearestFraction with the full search over all 999 denominators,
// for more fractional parts than the unit tests can afford:
//
//   vantelo_scale_text_sweep          every multiple of 2^-20 in [0.001, 1)
//                                     and 1,000,000 random singles
//   vantelo_scale_text_sweep --all    every single in [0.001, 1)
//   vantelo_scale_text_sweep --all FROM TO
//                                     every single in [FROM, TO)
//
// Prints the number of values compared and each difference; exits with 1
// when there is one.
#include "writers/nearest_fraction.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

using vantelo::Fraction;

struct Sweep {
  std::uint64_t compared = 0;
  std::uint64_t differences = 0;

  void Compare(float f) {
    ++compared;
    const Fraction fast = vantelo::NearestFraction(f);
    const Fraction full = vantelo::NearestFractionByFullSearch(f);
    if (fast == full)
      return;
    if (++differences <= 100)
      std::printf("%.9g (0x%08x): %d/%d, the full search gives %d/%d\n", f, Bits(f), fast.numerator,
                  fast.denominator, full.numerator, full.denominator);
  }

  static std::uint32_t Bits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
  }
};

} // namespace

int main(int argc, char** argv) {
  const bool all = argc > 1 && std::strcmp(argv[1], "--all") == 0;
  Sweep sweep;
  if (all) {
    const float from = argc > 3 ? std::strtof(argv[2], nullptr) : vantelo::kFractionThreshold;
    const float to = argc > 3 ? std::strtof(argv[3], nullptr) : 1.0f;
    for (float f = from; f < to; f = std::nextafter(f, to)) {
      sweep.Compare(f);
      if ((sweep.compared & 0xFFFFF) == 0)
        std::fprintf(stderr, "... up to %.9g: %llu compared, %llu differences\n", f,
                     static_cast<unsigned long long>(sweep.compared),
                     static_cast<unsigned long long>(sweep.differences));
    }
  } else {
    for (double x = std::ceil(0.001 * 0x1p20) * 0x1p-20; x < 1.0; x += 0x1p-20)
      sweep.Compare(static_cast<float>(x));
    std::mt19937 random(20261208);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    for (int k = 0; k < 1000000; ++k)
      sweep.Compare(uniform(random));
  }
  std::printf("%llu values compared, %llu differences\n",
              static_cast<unsigned long long>(sweep.compared),
              static_cast<unsigned long long>(sweep.differences));
  return sweep.differences == 0 ? 0 : 1;
}
