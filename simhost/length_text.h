// The text the host gives for a length: the value in the document's length
// unit family (millimetres for a millimetre document, inches otherwise) with
// the document's display decimals, "." as the separator, and the unit.
#pragma once

#include <cstdint>
#include <string>

namespace vantelo::sim {

// value: centimetres. Fails (E_INVALIDARG) for a value that is not finite or
// decimals outside 0..15.
std::string LengthText(double value, std::int32_t lengthUnits, std::int32_t decimals);

} // namespace vantelo::sim
