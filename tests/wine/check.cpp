#include "check.h"

#include <cstdio>

namespace vtest {

int& failureCount() {
  static int count = 0;
  return count;
}

void reportFailure(const char* file, int line, const std::string& message) {
  ++failureCount();
  std::printf("%s(%d): FAILED %s\n", file, line, message.c_str());
  std::fflush(stdout);
}

std::string describe(const std::wstring& text) {
  // Printable ASCII as is, everything else as \uXXXX, so that a difference
  // in a non-ASCII character shows in the log.
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out + "\"";
}

std::string hexCode(long code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

} // namespace vtest
