// The COM object of the class clsVantelo: the add-in's core object
// (vantelo::clsVantelo) behind the class's dual interface _clsVantelo and the
// host's ApplicationAddInServer. Both interfaces answer IDispatch from type
// information: _clsVantelo from the module's own library, the add-in server
// interface from the host's registered library.
//
// Every call into the core runs through the error boundary, and holds a
// reference to the object for its duration: the core may let the host's
// window messages run (Deactivate, the message box), and a host that
// releases the add-in meanwhile must not destroy it under the running call.
#pragma once

#include "addin/clsVantelo.h"
#include "com/com_object.h"
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "com/settings_members.h"
#include "com/type_info.h"

#include <memory>

namespace vantelo::com {

class VanteloObject final
    : public ComObject<DispatchFromTypeInfo<_clsVantelo, &LoadClassInterfaceInfo>,
                       ISupportErrorInfo> {
public:
  // Creates an object and answers `iid` on it.
  static HRESULT Create(REFIID iid, void** result) noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;

  // _clsVantelo: the settings (settings_properties.cpp)
#define VANTELO_DECLARE_PROPERTY(name, kind)                                                       \
  HRESULT STDMETHODCALLTYPE get_##name(kind##Property* value) override;                            \
  HRESULT STDMETHODCALLTYPE put_##name(kind##Property value) override;
  VANTELO_SETTINGS(VANTELO_DECLARE_PROPERTY)
#undef VANTELO_DECLARE_PROPERTY

  // _clsVantelo: the methods (class_methods.cpp)
  HRESULT STDMETHODCALLTYPE Mass_Volume() override;
  HRESULT STDMETHODCALLTYPE SheetMetal_Style() override;
  HRESULT STDMETHODCALLTYPE PaperSize() override;
  HRESULT STDMETHODCALLTYPE TimeStamp() override;
  HRESULT STDMETHODCALLTYPE GetFromINI(BSTR* sSection, BSTR* sKey, BSTR* sDefault, BSTR* sIniFile,
                                       VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE AddToINI(BSTR* sSection, BSTR* sKey, BSTR* sValue, BSTR* sIniFile,
                                     VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE UpdateTotalMassInPartsList() override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

private:
  // The host's add-in server interface, a second face of the same object
  // (addin_server.cpp). It shares the object's identity and reference count.
  class AddInServer final
      : public DispatchFromTypeInfo<ApplicationAddInServer, &LoadAddInServerInfo> {
  public:
    explicit AddInServer(VanteloObject& object) noexcept;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Activate(IDispatch* AddInSiteObject, VARIANT_BOOL FirstTime) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE ExecuteCommand(LONG CommandID) override;
    HRESULT STDMETHODCALLTYPE get_Automation(IDispatch** Automation) override;

  private:
    VanteloObject& object_;
  };

  VanteloObject();
  ~VanteloObject() override;

  // Runs `body(core)` for a call of the interface `iid`, inside the error
  // boundary and with the object kept alive.
  template <class F> HRESULT Call(const IID& iid, F&& body) noexcept;

  std::unique_ptr<clsVantelo> core_;
  AddInServer addInServer_;
};

} // namespace vantelo::com
