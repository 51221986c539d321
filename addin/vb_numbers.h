// Numbers as the host's macro language (Visual Basic) reads, writes and
// checks them. The decimal separator is passed in: it is the user's regional
// setting at the moment of the conversion.
#pragma once

#include "addin/value.h"

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

// A double result checked as the language checks it: infinity or NaN is an
// overflow.
double Checked(double value);
// a / b with the language's failures: x / 0 is a division by zero, 0 / 0 an
// overflow.
double Divide(double a, double b);

// A value as a double, as CDbl converts a variant.
double ValueToDouble(const Value& value, std::string_view decimalSeparator);

} // namespace vantelo::vb
