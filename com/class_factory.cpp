#include "com/class_factory.h"

#include "com/vantelo_object.h"

#include <new>

namespace vantelo::com {

ComPtr<ClassFactory> ClassFactory::Create() {
  return ComPtr<ClassFactory>::Adopt(new ClassFactory());
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

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** result) {
  if (!result)
    return E_POINTER;
  *result = nullptr;
  if (outer)
    return CLASS_E_NOAGGREGATION;
  return VanteloObject::Create(iid, result);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock)
    LockModule();
  else
    UnlockModule();
  return S_OK;
}

} // namespace vantelo::com
