// Text functions of the host's macro language (Visual Basic): letter case,
// replacement and blanks.
#pragma once

#include <string>
#include <string_view>

namespace vantelo::vb {

// A text of that many blanks, as Space. A negative count is refused (invalid
// procedure call).
std::string Space(int count);

// Upper case, as UCase: letters of every script this handles (Latin,
// Greek, Cyrillic) map to their capitals; everything else is unchanged.
std::string UpperCase(std::string_view text);
// Replaces every occurrence of `find` (matched without regard to letter case)
// by `with`, left to right.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view with);

} // namespace vantelo::vb
