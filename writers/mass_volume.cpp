#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::Mass_Volume() {}
} // namespace vantelo
