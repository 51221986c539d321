// The documents the benchmarks save: one of each kind with everything the
// writers read, drawings with many views, and drawings with long parts lists.
#pragma once

#include "addin/clsVantelo.h"
#include "simhost/document_data.h"

#include <cstddef>
#include <vector>

namespace vantelo::bench {

sim::DocumentData Part();
sim::DocumentData Assembly();
sim::DocumentData SheetMetalPart();
// Two sheets with a few views each.
sim::DocumentData SmallDrawing();

// How the views of a large drawing are scaled.
enum class ScaleMix {
  Few,         // five common scales, repeated
  AllDistinct, // every view at its own scale
};

// A drawing of `sheets` sheets with `viewsPerSheet` views each.
sim::DocumentData DrawingWithViews(int sheets, int viewsPerSheet, ScaleMix mix);

// A drawing whose active sheet holds one parts list of `rows` rows, with the
// columns "QTY", "MASS" and "TOTAL" and a user-defined "TotalMass" property.
sim::DocumentData DrawingWithPartsList(int rows);

// The view scales of DrawingWithViews, in view order.
std::vector<double> ViewScales(std::size_t count, ScaleMix mix);

} // namespace vantelo::bench
