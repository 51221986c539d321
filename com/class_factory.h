// The class object of clsVantelo: creates the add-in's COM objects.
#pragma once

#include "com/com_ptr.h"
#include "com/module_lifetime.h"

#include <unknwn.h>

namespace vantelo::com {

class ClassFactory final : public IClassFactory {
public:
  static ComPtr<ClassFactory> create();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
  ClassFactory() = default;
  ~ClassFactory() = default;

  ModuleReference module_;
  LONG references_ = 1;
};

} // namespace vantelo::com
