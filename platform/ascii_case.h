// Letter case in the ASCII range only: A-Z and a-z. Every byte outside it
// (the ANSI code page's own letters, UTF-8 sequences) stays as it is and
// compares exactly. Profile section and key names, the class's member names
// and property-set format identifiers all compare this way; this is the one
// place that says how.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantelo {

constexpr char AsciiLower(char c) noexcept {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = AsciiLower(c);
  return lower;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i]))
      return false;
  return true;
}

} // namespace vantelo
