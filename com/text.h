// Text at the COM boundary: BSTRs are UTF-16, the add-in's texts are UTF-8.
// Valid text converts both ways without loss (characters outside the Basic
// Multilingual Plane included); an unpaired surrogate or an invalid UTF-8
// sequence becomes U+FFFD. Embedded NUL characters are kept.
#pragma once

#include "com/bstr.h"
#include "platform/windows/wide_text.h"

#include <string>
#include <string_view>

namespace vantelo::com {

// A null BSTR is the empty text.
inline std::string ToUtf8(BSTR text) {
  return win::Utf8FromWide(std::wstring_view(text, SysStringLen(text)));
}
inline Bstr ToBstr(std::string_view text) { return Bstr(win::WideFromUtf8(text)); }

} // namespace vantelo::com
