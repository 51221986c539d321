// Letter case in the ASCII range only: A-Z and a-z. Every byte outside it
// (the ANSI code page's own letters, UTF-8 sequences) stays as it is and
// compares exactly. Profile section and key names, the class's member names
// and property-set format identifiers all compare this way; this is the one
// place that says how.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Hash and equality that ignore ASCII letter case, for unordered containers
// keyed by such names; transparent, so any text may be looked up without
// being copied or lowered first.
struct AsciiCaseInsensitiveHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a, 64 bits also where size_t has 32
    for (char c : text)
      hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    return static_cast<std::size_t>(hash);
  }
};

struct AsciiCaseInsensitiveEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return EqualsIgnoringAsciiCase(a, b);
  }
};

} // namespace vantelo
