#include "simhost/length_text.h"

#include "addin/failure.h"
#include "addin/float_chars.h"
#include "simhost/document_data.h"

#include <cmath>

namespace vantelo::sim {

std::string LengthText(double value, std::int32_t lengthUnits, std::int32_t decimals) {
  if (!std::isfinite(value))
    throw Failure(hresult::InvalidArg, "length to text: the value is not a finite number");
  if (decimals < 0 || decimals > 15)
    throw Failure(hresult::InvalidArg, "length to text: " + std::to_string(decimals) +
                                           " display decimals (0 to 15 are possible)");
  const bool millimetres = lengthUnits == units::Millimeter;
  const double converted = millimetres ? value * 10.0 : value / 2.54;
  // Room for 308 integer digits, the point and 15 decimals.
  char buffer[400];
  const auto result =
      float_chars::ToChars(buffer, buffer + sizeof buffer, converted, std::chars_format::fixed,
                           decimals);
  if (result.ec != std::errc())
    throw Failure(hresult::Fail, "length to text: the value does not fit the text");
  std::string text(buffer, result.ptr);
  text += millimetres ? " mm" : " in";
  return text;
}

} // namespace vantelo::sim
