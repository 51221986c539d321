// The class object of clsVantelo: creates the add-in's COM objects.
#pragma once

#include "com/com_object.h"
#include "com/com_ptr.h"

#include <unknwn.h>

namespace vantelo::com {

class ClassFactory final : public ComObject<IClassFactory> {
public:
  static ComPtr<ClassFactory> Create();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
  ClassFactory() = default;
  ~ClassFactory() override = default;
};

} // namespace vantelo::com
