#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::ViewScale_First() {}
} // namespace vantelo
