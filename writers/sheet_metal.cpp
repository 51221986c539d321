#include "addin/clsVantelo.h"

namespace vantelo {
void clsVantelo::SheetMetal_Style() {}
} // namespace vantelo
