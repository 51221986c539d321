// The base of every COM object the module creates (the class factory, the
// class's object, the event sink): one reference count, and a hold on the
// module for the object's whole life, so that DllCanUnloadNow answers S_OK
// only when none is left. An object starts with one reference, its
// creator's, and deletes itself when the last one is released. The derived
// class names its interfaces as `Interfaces` and answers QueryInterface.
#pragma once

#include "com/module_lifetime.h"

#include <windows.h>

#include <unknwn.h>

namespace vantelo::com {

// The module hold is the first base: taken before anything of the object is
// made, let go after all of it is gone.
template <class... Interfaces> class ComObject : private ModuleReference, public Interfaces... {
public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }

  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
      delete this;
    return static_cast<ULONG>(left);
  }

protected:
  ComObject() noexcept = default;
  virtual ~ComObject() = default;

private:
  LONG references_ = 1;
};

} // namespace vantelo::com
