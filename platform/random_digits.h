// Hexadecimal digits that are hard to guess, for the names of temporary
// files and folders. Whoever creates the file or folder does so without
// replacing one that exists and tries another name when it is taken, so a
// name only has to be unlikely to be in use; in any character type, so that
// a name can be built in the system's own units (UTF-16 on Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace vantelo {

template <class Unit = char> std::basic_string<Unit> RandomDigits(std::size_t count) {
  std::random_device source;
  std::basic_string<Unit> digits(count, Unit('0'));
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 16 == 0)
      value = (static_cast<std::uint64_t>(source()) << 32) ^ source();
    digits[i] = static_cast<Unit>("0123456789abcdef"[value & 15]);
    value >>= 4;
  }
  return digits;
}

} // namespace vantelo
