// The module under measurement, loaded from a copy in a scratch directory of
// its own, so that its settings file lies there, and its add-in object. The
// settings enable every writer that applies to a drawing or a part. Going
// away releases the add-in (the caller deactivates it first), unloads the
// module and removes the directory, as does a failure to set it up.
#pragma once

#include "com/com_ptr.h"
#include "com/idl/inventor_standin_h.h"

#include <windows.h>

#include <string>

namespace vbench {

class ModuleCopy {
public:
  // Throws std::runtime_error naming what failed.
  explicit ModuleCopy(const std::wstring& modulePath);
  ~ModuleCopy();
  ModuleCopy(const ModuleCopy&) = delete;
  ModuleCopy& operator=(const ModuleCopy&) = delete;

  ApplicationAddInServer& Server() const { return *server_.Get(); }

private:
  void Open(const std::wstring& modulePath);
  void Close() noexcept;

  std::wstring directory_;
  HMODULE module_ = nullptr;
  vantelo::com::ComPtr<ApplicationAddInServer> server_;
};

} // namespace vbench
