// Line breaks in the texts of the settings file. The profile functions write
// a section, key or value as given, so a CR or LF inside one would end the
// file's line there and turn the rest into a line of its own: another key,
// or a section header, that nobody wrote. GetFromINI and AddToINI therefore
// refuse any text that holds one, on every platform.
#pragma once

#include <string_view>

namespace vantelo {

inline bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace vantelo
