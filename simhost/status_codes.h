// Status codes the stand-in host fails with, besides the common ones in
// addin/failure.h.
#pragma once

#include <cstdint>

namespace vantelo::sim::status {

// DISP_E_UNKNOWNNAME: a member looked up by name that the object lacks.
constexpr std::int32_t UnknownName = static_cast<std::int32_t>(0x80020006);
// RPC_E_DISCONNECTED: the object behind a reference is gone (a deleted
// property, a closed document, a sheet or row no longer there).
constexpr std::int32_t Disconnected = static_cast<std::int32_t>(0x80010108);

} // namespace vantelo::sim::status
