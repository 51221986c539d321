// The module (DLL or program) that contains this code, found from its own
// module handle: the add-in's settings file and its registration refer to it.
#pragma once

#include <windows.h>

#include <string>

namespace vantelo::win {

HMODULE OwnModuleHandle();
// The module's full path, of any length.
std::wstring OwnModuleFileName();

} // namespace vantelo::win
