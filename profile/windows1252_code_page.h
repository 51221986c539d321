// The Windows-1252 ("ANSI", Western European) code page, as Windows'
// WideCharToMultiByte and MultiByteToWideChar convert it.
#pragma once

#include "platform/services.h"

namespace vantelo {

class Windows1252CodePage : public AnsiCodePage {
public:
  // UTF-8 to Windows-1252. A character the page cannot hold becomes '?'; as
  // Windows converts UTF-16 code units, a character beyond U+FFFF (a surrogate
  // pair there) becomes "??". Invalid UTF-8 becomes one '?' for each maximal
  // invalid part (Unicode's recommended practice). Windows' "best fit"
  // replacements (such as A for U+0100) are not made.
  std::string FromUtf8(const std::string& text) override;
  // Windows-1252 to UTF-8. Every byte maps; the five bytes the page leaves
  // undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+0081 and so on, as with
  // MultiByteToWideChar.
  std::string ToUtf8(const std::string& bytes) override;
};

} // namespace vantelo
