#include "addin/failure.h"

#include <cstdio>

namespace vantelo {

std::string HresultText(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

} // namespace vantelo
