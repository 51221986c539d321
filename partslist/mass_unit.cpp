#include "addin/clsVantelo.h"

namespace vantelo {
std::string clsVantelo::GetMassUnit(std::string) { return {}; }
} // namespace vantelo
