#include "addin/vb_text.h"

#include "addin/failure.h"
#include "platform/ascii_case.h"
#include "platform/utf8.h"

#include <cstddef>

namespace vantelo::vb {
namespace {

// The capital of a code point in the scripts UpperCase handles; any other
// code point is its own capital.
char32_t UpperCodePoint(char32_t c) {
  if (c >= U'a' && c <= U'z')
    return c - 0x20;
  if (c < 0x80)
    return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
    return c - 0x20;
  if (c == 0xFF)
    return 0x178;
  if (c >= 0x100 && c <= 0x137)
    return (c & 1) ? c - 1 : c;
  if (c >= 0x139 && c <= 0x148)
    return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177)
    return (c & 1) ? c - 1 : c;
  if (c >= 0x179 && c <= 0x17E)
    return (c & 1) ? c : c - 1;
  if (c == 0x3C2)
    return 0x3A3;
  if (c >= 0x3B1 && c <= 0x3C9)
    return c - 0x20;
  if (c >= 0x430 && c <= 0x44F)
    return c - 0x20;
  if (c >= 0x450 && c <= 0x45F)
    return c - 0x50;
  return c;
}

} // namespace

std::string Space(int count) {
  if (count < 0)
    throw Failure(hresult::InvalidProcedureCall,
                  "Invalid procedure call: cannot make a negative number of blanks");
  return std::string(static_cast<std::size_t>(count), ' ');
}

std::string UpperCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto sequence = Utf8SequenceAt(text, i);
    if (!sequence) { // not UTF-8: keep the byte as it is
      out += text[i++];
      continue;
    }
    AppendUtf8(out, UpperCodePoint(sequence->codePoint));
    i += sequence->length;
  }
  return out;
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty())
    return std::string(text);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (i + find.size() <= text.size() &&
        EqualsIgnoringAsciiCase(text.substr(i, find.size()), find)) {
      out += with;
      i += find.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

} // namespace vantelo::vb
