#include "com/vantelo_object.h"

#include "com/com_error.h"
#include "com/vantelo_object_call.h"
#include "platform/windows/windows_services.h"

namespace vantelo::com {

VanteloObject::VanteloObject()
    : core_(std::make_unique<clsVantelo>(win::WindowsPlatformServices())), addInServer_(*this) {}

VanteloObject::~VanteloObject() = default;

HRESULT VanteloObject::Create(REFIID iid, void** result) noexcept {
  if (!result)
    return E_POINTER;
  *result = nullptr;
  VanteloObject* object = nullptr;
  try {
    object = new VanteloObject();
  } catch (...) {
    return CaughtHResult();
  }
  const HRESULT hr = object->QueryInterface(iid, result);
  object->Release(); // the creation's own reference
  return hr;
}

HRESULT VanteloObject::QueryInterface(REFIID iid, void** result) {
  if (!result)
    return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__clsVantelo) {
    *result = static_cast<_clsVantelo*>(this);
  } else if (iid == IID_ApplicationAddInServer) {
    *result = static_cast<ApplicationAddInServer*>(&addInServer_);
  } else if (iid == IID_ISupportErrorInfo) {
    *result = static_cast<ISupportErrorInfo*>(this);
  } else {
    *result = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT VanteloObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID__clsVantelo || iid == IID_ApplicationAddInServer ? S_OK : S_FALSE;
}

} // namespace vantelo::com
