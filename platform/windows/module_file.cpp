#include "platform/windows/module_file.h"

#include <stdexcept>

namespace vantelo::win {

HMODULE OwnModuleHandle() {
  HMODULE module = nullptr;
  // The address of this very function lies inside the module that contains it.
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&OwnModuleHandle), &module);
  return module;
}

std::wstring OwnModuleFileName() {
  const HMODULE module = OwnModuleHandle();
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      throw std::runtime_error("The module's own file name is not available");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    // Cut to the buffer: try again with a larger one.
    if (path.size() >= 32768 * 2)
      throw std::runtime_error("The module's own file name is too long");
    path.resize(path.size() * 2);
  }
}

} // namespace vantelo::win
