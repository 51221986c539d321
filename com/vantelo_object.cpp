#include "com/vantelo_object.h"

#include "com/vantelo_object_call.h"
#include "platform/windows/windows_services.h"

#include <new>

namespace vantelo::com {

VanteloObject::VanteloObject()
    : dispatch_(&loadClassInterfaceInfo),
      core_(std::make_unique<clsVantelo>(win::windowsPlatformServices())), addInServer_(*this) {}

VanteloObject::~VanteloObject() = default;

HRESULT VanteloObject::create(REFIID iid, void** result) noexcept {
  if (!result)
    return E_POINTER;
  *result = nullptr;
  VanteloObject* object = nullptr;
  try {
    object = new VanteloObject();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
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

ULONG VanteloObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG VanteloObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0)
    delete this;
  return static_cast<ULONG>(left);
}

HRESULT VanteloObject::GetTypeInfoCount(UINT* count) { return dispatch_.getTypeInfoCount(count); }

HRESULT VanteloObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  return dispatch_.getTypeInfo(index, info);
}

HRESULT VanteloObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return dispatch_.getIDsOfNames(iid, names, count, ids);
}

HRESULT VanteloObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  return dispatch_.invoke(static_cast<_clsVantelo*>(this), iid, id, flags, params, result,
                          exception, argumentError);
}

HRESULT VanteloObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID__clsVantelo || iid == IID_ApplicationAddInServer ? S_OK : S_FALSE;
}

} // namespace vantelo::com
