#include "com/type_info.h"

#include "com/com_error.h"
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "platform/windows/module_file.h"

#include <oleauto.h>

namespace vantelo::com {

ComPtr<ITypeLib> LoadOwnTypeLibrary() {
  ComPtr<ITypeLib> library;
  ThrowIfFailed(LoadTypeLibEx(win::OwnModuleFileName().c_str(), REGKIND_NONE, library.Put()),
                "Loading the module's type library");
  return library;
}

DualTypeInfo LoadDualTypeInfo(ITypeLib* library, const IID& iid) {
  ComPtr<ITypeInfo> described;
  ThrowIfFailed(library->GetTypeInfoOfGuid(iid, described.Put()),
                "Finding an interface in a type library");
  TYPEATTR* attributes = nullptr;
  ThrowIfFailed(described->GetTypeAttr(&attributes), "Reading an interface's type attributes");
  const TYPEKIND kind = attributes->typekind;
  described->ReleaseTypeAttr(attributes);
  if (kind == TKIND_INTERFACE)
    return {described, described};
  // A dual interface is described as a dispinterface; its vtable description
  // is the implemented type at index -1.
  HREFTYPE vtableRef = 0;
  ThrowIfFailed(described->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableRef),
                "Finding a dual interface's vtable description");
  ComPtr<ITypeInfo> vtable;
  ThrowIfFailed(described->GetRefTypeInfo(vtableRef, vtable.Put()),
                "Loading a dual interface's vtable description");
  return {described, vtable};
}

DualTypeInfo LoadClassInterfaceInfo() {
  return LoadDualTypeInfo(LoadOwnTypeLibrary().Get(), IID__clsVantelo);
}

DualTypeInfo LoadAddInServerInfo() {
  ComPtr<ITypeLib> library;
  ThrowIfFailed(LoadRegTypeLib(LIBID_Inventor, 1, 0, 0, library.Put()),
                "Loading the host's registered type library");
  return LoadDualTypeInfo(library.Get(), IID_ApplicationAddInServer);
}

template <class F> HRESULT TypeInfoDispatch::WithInfo(F&& use) noexcept {
  try {
    if (!info_.vtable)
      info_ = loader_();
    return use();
  } catch (...) {
    return CaughtHResult();
  }
}

HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) noexcept {
  if (!count)
    return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** info) noexcept {
  if (!info)
    return E_POINTER;
  *info = nullptr;
  if (index != 0)
    return DISP_E_BADINDEX;
  return WithInfo([&] {
    *info = ComPtr<ITypeInfo>(info_.dispatch).Detach();
    return S_OK;
  });
}

HRESULT TypeInfoDispatch::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                        DISPID* ids) noexcept {
  if (riid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  return WithInfo([&] { return DispGetIDsOfNames(info_.vtable.Get(), names, count, ids); });
}

HRESULT TypeInfoDispatch::Invoke(void* instance, REFIID riid, DISPID id, WORD flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                 UINT* argumentError) noexcept {
  if (riid != IID_NULL)
    return DISP_E_UNKNOWNINTERFACE;
  return WithInfo([&] {
    return info_.vtable->Invoke(instance, id, flags, params, result, exception, argumentError);
  });
}

} // namespace vantelo::com
