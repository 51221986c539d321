#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::UpdateTotalMassInPartsList() {}
} // namespace vantelo
