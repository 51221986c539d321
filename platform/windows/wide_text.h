// UTF-16 (the Windows API's wide strings) and UTF-8 (the add-in's texts),
// and the system's ANSI code page. Valid text converts without loss between
// UTF-16 and UTF-8; invalid sequences become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace vantelo::win {

std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

// To and from the ANSI code page (CP_ACP). A character the page cannot hold
// becomes '?': no "best fit" substitution, which could turn, for instance, a
// full-width solidus into a path separator.
std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view bytes);

} // namespace vantelo::win
