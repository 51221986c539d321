// UTF-8 sequences, read and written in one way: the add-in's letter case and
// the settings check read them; the UTF-16 settings files and the
// Windows-1252 code page write them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantelo {

struct Utf8Sequence {
  char32_t codePoint = 0;
  std::size_t length = 0; // bytes, 1 to 4
};

// The sequence that starts at `at`, or nothing when the byte there starts
// none, or the sequence is cut short or broken by a byte that does not
// continue it.
inline std::optional<Utf8Sequence> Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80           ? 1
                             : (lead >> 5) == 0x6  ? 2
                             : (lead >> 4) == 0xE  ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
  if (length == 0 || at + length > text.size())
    return std::nullopt;
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(text[at + k]);
    if ((b & 0xC0) != 0x80)
      return std::nullopt;
    c = (c << 6) | (b & 0x3F);
  }
  return Utf8Sequence{c, length};
}

inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

} // namespace vantelo
