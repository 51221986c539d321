#include "addin/clsVantelo.h"

#include <utility>

namespace vantelo {

// A new object holds false, 0 and empty texts in every setting and no host
// object until Activate.
clsVantelo::clsVantelo(PlatformServices platform) : platform_(std::move(platform)) {}

// Releasing the connection first ends the event delivery before the objects
// it refers to go.
clsVantelo::~clsVantelo() { appEventsConnection_.reset(); }

} // namespace vantelo
