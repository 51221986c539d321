// Splits a fuzz input into text fields at the byte 0x1F (the ASCII unit
// separator): the first n - 1 fields end at the next 0x1F, the last takes
// the rest whole (0x1F included). Missing fields are empty. Corpus files stay
// readable and the fuzzer mutates each field on its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantelo::fuzz {

inline constexpr char kFieldSeparator = '\x1f';

template <std::size_t N>
std::array<std::string_view, N> Fields(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::array<std::string_view, N> fields{};
  for (std::size_t i = 0; i + 1 < N; ++i) {
    const std::size_t end = rest.find(kFieldSeparator);
    if (end == std::string_view::npos) {
      fields[i] = rest;
      return fields;
    }
    fields[i] = rest.substr(0, end);
    rest.remove_prefix(end + 1);
  }
  fields[N - 1] = rest;
  return fields;
}

} // namespace vantelo::fuzz
