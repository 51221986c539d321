#include "com/class_factory.h"

#include "com/vantelo_object.h"

#include <new>

namespace vantelo::com {

ComPtr<ClassFactory> ClassFactory::create() {
  return ComPtr<ClassFactory>::adopt(new ClassFactory());
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** result) {
  if (!result)
    return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *result = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ClassFactory::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0)
    delete this;
  return static_cast<ULONG>(left);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** result) {
  if (!result)
    return E_POINTER;
  *result = nullptr;
  if (outer)
    return CLASS_E_NOAGGREGATION;
  return VanteloObject::create(iid, result);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock)
    lockModule();
  else
    unlockModule();
  return S_OK;
}

} // namespace vantelo::com
