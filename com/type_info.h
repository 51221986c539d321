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

// Each throws vantelo::Failure with the failed call's status.
ComPtr<ITypeLib> LoadOwnTypeLibrary();
DualTypeInfo LoadDualTypeInfo(ITypeLib* library, const IID& iid);

// _clsVantelo from the module's own library.
DualTypeInfo LoadClassInterfaceInfo();
// ApplicationAddInServer from the host's library, as the host registered it.
DualTypeInfo LoadAddInServerInfo();

// IDispatch of a dual interface, answered from its type information: names
// through DispGetIDsOfNames, calls through ITypeInfo::Invoke on the
// interface's own vtable (which also coerces the arguments and turns a failed
// call's error information into EXCEPINFO). The information is loaded at
// first use.
class TypeInfoDispatch {
public:
  using Loader = DualTypeInfo (*)();
  explicit TypeInfoDispatch(Loader loader) noexcept : loader_(loader) {}

  HRESULT GetTypeInfoCount(UINT* count) noexcept;
  HRESULT GetTypeInfo(UINT index, ITypeInfo** info) noexcept;
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
  // `instance` is the interface pointer whose vtable the description matches.
  HRESULT Invoke(void* instance, REFIID riid, DISPID id, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) noexcept;

private:
  // Loads the information at first use, then returns use(); a failure to
  // load is the call's status.
  template <class F> HRESULT WithInfo(F&& use) noexcept;

  Loader loader_;
  DualTypeInfo info_;
};

// IDispatch of the dual interface `Interface`, answered from the type
// information that `Load` gives (TypeInfoDispatch).
template <class Interface, DualTypeInfo (*Load)()> class DispatchFromTypeInfo : public Interface {
public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return dispatch_.GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    return dispatch_.GetTypeInfo(index, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return dispatch_.GetIDsOfNames(iid, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    return dispatch_.Invoke(static_cast<Interface*>(this), iid, id, flags, params, result,
                            exception, argumentError);
  }

private:
  TypeInfoDispatch dispatch_{Load};
};

} // namespace vantelo::com
