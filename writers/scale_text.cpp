#include "addin/clsVantelo.h"

namespace vantelo {
std::string clsVantelo::ScaleToText(float, bool) const { return {}; }
} // namespace vantelo
