// The type information that the class's IDispatch implementations answer
// from: the class's own library (embedded in the module as resource 1) and
// the host's registered library for the add-in server interface.
#pragma once

#include "com/com_ptr.h"

#include <windows.h>

#include <oaidl.h>

namespace vantelo::com {

// A dual interface's two descriptions: the dispatch one (what GetTypeInfo
// hands out) and the vtable one (what ITypeInfo::Invoke calls through).
struct DualTypeInfo {
  ComPtr<ITypeInfo> dispatch;
  ComPtr<ITypeInfo> vtable;
};

HRESULT loadOwnTypeLibrary(ComPtr<ITypeLib>& library) noexcept;
HRESULT loadDualTypeInfo(ITypeLib* library, const IID& iid, DualTypeInfo& info) noexcept;

// _clsVantelo from the module's own library.
HRESULT loadClassInterfaceInfo(DualTypeInfo& info) noexcept;
// ApplicationAddInServer from the host's library, as the host registered it.
HRESULT loadAddInServerInfo(DualTypeInfo& info) noexcept;

// IDispatch of a dual interface, answered from its type information: names
// through DispGetIDsOfNames, calls through ITypeInfo::Invoke on the
// interface's own vtable (which also coerces the arguments and turns a failed
// call's error information into EXCEPINFO). The information is loaded at
// first use.
class TypeInfoDispatch {
public:
  using Loader = HRESULT (*)(DualTypeInfo&) noexcept;
  explicit TypeInfoDispatch(Loader loader) noexcept : loader_(loader) {}

  HRESULT getTypeInfoCount(UINT* count) noexcept;
  HRESULT getTypeInfo(UINT index, ITypeInfo** info) noexcept;
  HRESULT getIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
  // `instance` is the interface pointer whose vtable the description matches.
  HRESULT invoke(void* instance, REFIID riid, DISPID id, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) noexcept;

private:
  HRESULT load() noexcept;

  Loader loader_;
  DualTypeInfo info_;
};

} // namespace vantelo::com
