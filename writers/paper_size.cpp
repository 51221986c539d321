#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::PaperSize() {}
} // namespace vantelo
