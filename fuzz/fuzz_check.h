// What a fuzz target asserts: a property that must hold for every input. A
// broken one prints what was expected and aborts, which libFuzzer (and the
// replay program) report as a finding with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace vantelo::fuzz {

[[noreturn]] inline void Broken(const char* file, int line, const char* what,
                                const std::string& detail) {
  std::fprintf(stderr, "%s:%d: property broken: %s\n%s\n", file, line, what, detail.c_str());
  std::abort();
}

// Bytes as C-escaped text, for messages.
inline std::string Escaped(std::string_view bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  return '"' + out + '"';
}

} // namespace vantelo::fuzz

#define FUZZ_CHECK(condition, detail)                                                              \
  do {                                                                                             \
    if (!(condition))                                                                              \
      ::vantelo::fuzz::Broken(__FILE__, __LINE__, #condition, (detail));                           \
  } while (0)
