#include "com/type_info.h"

#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "platform/windows/module_file.h"

#include <oleauto.h>

namespace vantelo::com {

HRESULT loadOwnTypeLibrary(ComPtr<ITypeLib>& library) noexcept {
  try {
    return LoadTypeLibEx(win::ownModuleFileName().c_str(), REGKIND_NONE, library.put());
  } catch (...) {
    return TYPE_E_CANTLOADLIBRARY;
  }
}

HRESULT loadDualTypeInfo(ITypeLib* library, const IID& iid, DualTypeInfo& info) noexcept {
  ComPtr<ITypeInfo> described;
  HRESULT hr = library->GetTypeInfoOfGuid(iid, described.put());
  if (FAILED(hr))
    return hr;
  TYPEATTR* attributes = nullptr;
  hr = described->GetTypeAttr(&attributes);
  if (FAILED(hr))
    return hr;
  const TYPEKIND kind = attributes->typekind;
  described->ReleaseTypeAttr(attributes);
  if (kind == TKIND_INTERFACE) {
    info.dispatch = described;
    info.vtable = described;
    return S_OK;
  }
  // A dual interface is described as a dispinterface; its vtable description
  // is the implemented type at index -1.
  HREFTYPE vtableRef = 0;
  hr = described->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef);
  if (FAILED(hr))
    return hr;
  ComPtr<ITypeInfo> vtable;
  hr = described->GetRefTypeInfo(vtableRef, vtable.put());
  if (FAILED(hr))
    return hr;
  info.dispatch = described;
  info.vtable = vtable;
  return S_OK;
}

HRESULT loadClassInterfaceInfo(DualTypeInfo& info) noexcept {
  ComPtr<ITypeLib> library;
  const HRESULT hr = loadOwnTypeLibrary(library);
  if (FAILED(hr))
    return hr;
  return loadDualTypeInfo(library.get(), IID__clsVantelo, info);
}

HRESULT loadAddInServerInfo(DualTypeInfo& info) noexcept {
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadRegTypeLib(LIBID_Inventor, 1, 0, 0, library.put());
  if (FAILED(hr))
    return hr;
  return loadDualTypeInfo(library.get(), IID_ApplicationAddInServer, info);
}

HRESULT TypeInfoDispatch::load() noexcept {
  if (info_.vtable)
    return S_OK;
  DualTypeInfo loaded;
  const HRESULT hr = loader_(loaded);
  if (SUCCEEDED(hr))
    info_ = loaded;
  return hr;
}

HRESULT TypeInfoDispatch::getTypeInfoCount(UINT* count) noexcept {
  if (!count)
    return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TypeInfoDispatch::getTypeInfo(UINT index, ITypeInfo** info) noexcept {
  if (!info)
    return E_POINTER;
  *info = nullptr;
  if (index != 0)
    return DISP_E_BADINDEX;
  const HRESULT hr = load();
  if (FAILED(hr))
    return hr;
  *info = ComPtr<ITypeInfo>(info_.dispatch).detach();
  return S_OK;
}

HRESULT TypeInfoDispatch::getIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                        DISPID* ids) noexcept {
  if (riid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  const HRESULT hr = load();
  if (FAILED(hr))
    return hr;
  return DispGetIDsOfNames(info_.vtable.get(), names, count, ids);
}

HRESULT TypeInfoDispatch::invoke(void* instance, REFIID riid, DISPID id, WORD flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                 UINT* argumentError) noexcept {
  if (riid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  const HRESULT hr = load();
  if (FAILED(hr))
    return hr;
  return info_.vtable->Invoke(instance, id, flags, params, result, exception, argumentError);
}

} // namespace vantelo::com
