// VanteloObject::call, shared by the files that implement the object's
// interfaces.
#pragma once

#include "com/com_ptr.h"
#include "com/error_boundary.h"
#include "com/vantelo_object.h"

namespace vantelo::com {

template <class F> HRESULT VanteloObject::Call(const IID& iid, F&& body) noexcept {
  const ComPtr<_clsVantelo> keepAlive(this);
  return Guarded(iid, [&] { body(*core_); });
}

} // namespace vantelo::com
