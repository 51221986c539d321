#include "profile/windows1252_code_page.h"

#include "platform/utf8.h"

#include <cstddef>
#include <cstdint>

namespace vantelo {

namespace {

// The characters of the bytes 0x80 to 0x9F; the rest of 0x00..0xFF maps to
// the code point of the same number.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// The byte for a code point, or -1 when the page cannot hold it.
int ByteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
    return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == cp)
      return 0x80 + i;
  }
  return -1;
}

} // namespace

std::string Windows1252CodePage::FromUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b0 = s[i];
    if (b0 < 0x80) {
      out.push_back(static_cast<char>(b0));
      ++i;
      continue;
    }
    // Length and the allowed range of the second byte (which excludes
    // overlong forms, surrogates and code points above U+10FFFF).
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      len = 3;
      if (b0 == 0xE0)
        lo = 0xA0;
      else if (b0 == 0xED)
        hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      len = 4;
      if (b0 == 0xF0)
        lo = 0x90;
      else if (b0 == 0xF4)
        hi = 0x8F;
    } else {
      out.push_back('?'); // a continuation byte or a byte never used in UTF-8
      ++i;
      continue;
    }
    char32_t cp = b0 & (0xFF >> (len + 1));
    std::size_t k = 1;
    for (; k < len && i + k < n; ++k) {
      const unsigned char b = s[i + k];
      const unsigned char min = (k == 1) ? lo : 0x80;
      const unsigned char max = (k == 1) ? hi : 0xBF;
      if (b < min || b > max)
        break;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (k < len) {
      out.push_back('?'); // the maximal invalid part: lead byte and the good ones
      i += k;
      continue;
    }
    i += len;
    if (cp >= 0x10000) {
      out.append("??"); // two UTF-16 code units, neither of them on the page
      continue;
    }
    int byte = ByteFor(cp);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return out;
}

std::string Windows1252CodePage::ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : char32_t{b});
  }
  return out;
}

} // namespace vantelo
