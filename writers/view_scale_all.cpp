#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::ViewScale_All() {}
} // namespace vantelo
