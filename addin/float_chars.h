// Floating-point numbers to text and back, as std::to_chars and
// std::from_chars do it: the shortest text that reads back as the same
// number, fixed and scientific notation with a precision, and the reading of
// a number text. Where the C++ library has them (its feature-test macro
// __cpp_lib_to_chars says so), these call them; elsewhere (Emscripten's
// library, for the settings page) a portable fallback built on the C
// library's correctly rounded printf and strtod gives the same texts in
// every form. VANTELO_FLOAT_CHARS_FALLBACK forces the fallback on any
// library, so that it can be tested against the real thing.
#pragma once

#include <charconv>
#include <string>

namespace vantelo::float_chars {

// The shortest text that reads back as the value, in fixed or scientific
// notation, whichever is shorter (fixed on a tie).
std::to_chars_result ToChars(char* first, char* last, double value);
std::to_chars_result ToChars(char* first, char* last, float value);
// The same text as a string.
std::string ShortestText(double value);
std::string ShortestText(float value);

// Fixed or scientific notation with the given number of decimals, the exact
// value rounded half to even.
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision);
std::to_chars_result ToChars(char* first, char* last, float value, std::chars_format format,
                             int precision);

// Reads a number in the general format ("-12.5e3", "inf", "nan"). A value
// too large or too small for a double is result_out_of_range and leaves
// value as it was.
std::from_chars_result FromChars(const char* first, const char* last, double& value);

// Whether this build uses the fallback.
bool UsesFallback();

// The fallback itself, in every build, for the test that compares it with
// the library's functions.
namespace fallback {
std::to_chars_result ToChars(char* first, char* last, double value);
std::to_chars_result ToChars(char* first, char* last, float value);
std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                             int precision);
std::to_chars_result ToChars(char* first, char* last, float value, std::chars_format format,
                             int precision);
std::from_chars_result FromChars(const char* first, const char* last, double& value);
} // namespace fallback

} // namespace vantelo::float_chars
