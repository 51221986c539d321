// The conversions of the host's macro language (Visual Basic) that the
// add-in's texts and numbers follow, in one place. Every writer, the settings
// load and the parts-list update use these; none converts on its own.
//
// The decimal separator is passed in: it is the user's regional setting at
// the moment of the conversion. Failures are Failure with the VB run-time
// codes: type mismatch for text that is not a number, overflow for a result
// out of range or not finite, division by zero, invalid procedure call for an
// argument the routine refuses.
#pragma once

#include "addin/value.h"
#include "platform/services.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vantelo::vb {

// "True"/"False" in any letter case, or a number (0 false, else true).
bool TextToBoolean(std::string_view text, std::string_view decimalSeparator);
// A number, rounded half to even; outside -32768..32767 is an overflow.
std::int16_t TextToInteger(std::string_view text, std::string_view decimalSeparator);
// A number with the locale's decimal separator, blanks around it allowed.
double TextToDouble(std::string_view text, std::string_view decimalSeparator);
// Rounds half to even to a 32-bit integer; out of range is an overflow.
std::int32_t RoundToLong(double value);
// Rounds half to even to a 16-bit integer, as CInt; out of range is an
// overflow.
std::int16_t RoundToInteger(double value);
// A double as a single, as CSng: rounded to the nearest single; a magnitude
// beyond the single range, or NaN, is an overflow.
float ToSingle(double value);

// The leading number of a text, "." as the only decimal separator, blanks,
// tabs and line feeds skipped, nothing readable giving 0.
double Val(std::string_view text);

// The general number form: at most 15 significant digits for a double, 7 for
// a single, no trailing zeros, no separator for whole numbers, exponent form
// only for very large or very small magnitudes.
std::string DoubleToText(double value, std::string_view decimalSeparator);
std::string SingleToText(float value, std::string_view decimalSeparator);
std::string BooleanToText(bool value); // "True" / "False"

// Rounds to the given number of decimals by the exact stored value: above
// the half goes up, below it down, and only a value that is exactly half way
// (in binary) goes to the even neighbour. So 0.465, stored a little above,
// gives 0.47 and 0.235, stored a little below, 0.23, however the product
// with 10^decimals happens to round. The result is the double nearest to the
// rounded decimal. Negative decimals are refused (invalid procedure call).
double Round(double value, int decimals);

// A text of that many blanks, as Space. A negative count is refused (invalid
// procedure call).
std::string Space(int count);

// A double result checked as the language checks it: infinity or NaN is an
// overflow.
double Checked(double value);
// a / b with the language's failures: x / 0 is a division by zero, 0 / 0 an
// overflow.
double Divide(double a, double b);

// A value as a double, as CDbl converts a variant.
double ValueToDouble(const Value& value, std::string_view decimalSeparator);

// Upper case, as UCase: letters of every script this handles (Latin,
// Greek, Cyrillic) map to their capitals; everything else is unchanged.
std::string UpperCase(std::string_view text);
// Replaces every occurrence of `find` (matched without regard to letter case)
// by `with`, left to right.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view with);

// Dates: the platform's DATE for a local date and time, and back.
Date ToDate(const LocalDateTime& when);
LocalDateTime FromDate(Date date);
// "hh:mm" with the regional time separator in place of the colon.
std::string FormatHourMinute(const LocalDateTime& when, std::string_view timeSeparator);

} // namespace vantelo::vb
