// Rounding as the host's macro language (Visual Basic) rounds: half to even.
#pragma once

#include <cstdint>

namespace vantelo::vb {

// Rounds half to even to a 32-bit integer; out of range is an overflow.
std::int32_t RoundToLong(double value);
// Rounds half to even to a 16-bit integer, as CInt; out of range is an
// overflow.
std::int16_t RoundToInteger(double value);

// Rounds to the given number of decimals by the exact stored value: above
// the half goes up, below it down, and only a value that is exactly half way
// (in binary) goes to the even neighbour. So 0.465, stored a little above,
// gives 0.47 and 0.235, stored a little below, 0.23, however the product
// with 10^decimals happens to round. The result is the double nearest to the
// rounded decimal. Negative decimals are refused (invalid procedure call).
double Round(double value, int decimals);

} // namespace vantelo::vb
