// The system's text for a Win32 error code, without the final full stop and
// line break ("Access is denied"); "system error N" when it has none.
#pragma once

#include <string>

namespace vantelo::win {

std::string SystemMessage(unsigned long error);

} // namespace vantelo::win
