// The class object as a client meets it: created by program identifier, one
// identity behind its interfaces, error information, and the host's add-in
// server interface answered through the host's registered library.
#include "check.h"
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "test_groups.h"
#include "test_support.h"

#include <ocidl.h>
#include <oleauto.h>

namespace vtest {

namespace {

void oneIdentity(IDispatch* object) {
  ComPtr<IUnknown> unknown;
  ComPtr<_clsVantelo> classInterface;
  ComPtr<ApplicationAddInServer> server;
  ComPtr<ISupportErrorInfo> errorInfo;
  CHECK_OK(object->QueryInterface(IID_IUnknown, unknown.putVoid()));
  CHECK_OK(object->QueryInterface(IID__clsVantelo, classInterface.putVoid()));
  CHECK_OK(object->QueryInterface(IID_ApplicationAddInServer, server.putVoid()));
  CHECK_OK(object->QueryInterface(IID_ISupportErrorInfo, errorInfo.putVoid()));
  if (!server || !classInterface || !errorInfo)
    return;
  // Every interface leads back to the same IUnknown.
  ComPtr<IUnknown> fromServer;
  CHECK_OK(server->QueryInterface(IID_IUnknown, fromServer.putVoid()));
  CHECK(fromServer.get() == unknown.get());
  ComPtr<IDispatch> dispatch;
  CHECK_OK(server->QueryInterface(IID_IDispatch, dispatch.putVoid()));
  CHECK(dispatch.get() == static_cast<IDispatch*>(classInterface.get()));
  ComPtr<IConnectionPointContainer> notOffered;
  CHECK_HR(object->QueryInterface(IID_IConnectionPointContainer, notOffered.putVoid()),
           E_NOINTERFACE);
  CHECK_OK(errorInfo->InterfaceSupportsErrorInfo(IID__clsVantelo));
  CHECK_OK(errorInfo->InterfaceSupportsErrorInfo(IID_ApplicationAddInServer));
}

void addInServerThroughDispatch(IDispatch* object) {
  ComPtr<ApplicationAddInServer> server;
  CHECK_OK(object->QueryInterface(IID_ApplicationAddInServer, server.putVoid()));
  if (!server)
    return;
  // The names and ids come from the host's registered library.
  struct {
    const wchar_t* name;
    DISPID id;
  } const members[] = {{L"Activate", 0x3001201},
                       {L"Deactivate", 0x3001202},
                       {L"ExecuteCommand", 0x3001203},
                       {L"Automation", 0x3001204}};
  for (const auto& member : members)
    CHECK_EQ(dispidOf(server.get(), member.name), member.id);

  // Automation yields no object; Deactivate succeeds.
  DispatchResult automation = invokeByName(server.get(), L"Automation", DISPATCH_PROPERTYGET);
  CHECK_OK(automation.hr);
  CHECK_EQ(automation.value.type(), VT_DISPATCH);
  CHECK(V_DISPATCH(automation.value.get()) == nullptr);
  CHECK_OK(invokeByName(server.get(), L"Deactivate", DISPATCH_METHOD).hr);
  IDispatch* none = nullptr;
  CHECK_OK(server->get_Automation(&none));
  CHECK(none == nullptr);
}

void failuresCarryErrorInformation(IDispatch* object) {
  ComPtr<ApplicationAddInServer> server;
  CHECK_OK(object->QueryInterface(IID_ApplicationAddInServer, server.putVoid()));
  if (!server)
    return;
  // Activate without a site: Visual Basic's "Object variable not set", with
  // a description for the caller.
  const HRESULT objectNotSet = static_cast<HRESULT>(0x800A005B);
  SetErrorInfo(0, nullptr);
  CHECK_HR(server->Activate(nullptr, VARIANT_TRUE), objectNotSet);
  ComPtr<IErrorInfo> info;
  CHECK_OK(GetErrorInfo(0, info.put()));
  if (info) {
    Bstr description;
    info->GetDescription(description.put());
    CHECK(description.length() > 0);
  }
  // The same through IDispatch: DISP_E_EXCEPTION with the code in EXCEPINFO.
  Variant site;
  V_VT(site.get()) = VT_DISPATCH;
  V_DISPATCH(site.get()) = nullptr;
  Variant firstTime = boolVariant(true);
  DispatchResult activate =
      invokeByName(server.get(), L"Activate", DISPATCH_METHOD, {site.get(), firstTime.get()});
  CHECK_HR(activate.hr, DISP_E_EXCEPTION);
  CHECK_HR(activate.exception.scode, objectNotSet);
}

void unknownNames(IDispatch* object) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
  CHECK_HR(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  // Names are found without regard to letter case, as Visual Basic does.
  CHECK_EQ(dispidOf(object, L"enableviewscale"), 0x40030002);
  CHECK_EQ(dispidOf(object, L"GETFROMINI"), 0x6003000D);
}

} // namespace

void objectTests(const Environment& environment) {
  RegisteredModule registered(environment);
  ComPtr<IDispatch> object = createByProgId();
  if (!object)
    return;
  oneIdentity(object.get());
  addInServerThroughDispatch(object.get());
  failuresCarryErrorInformation(object.get());
  unknownNames(object.get());
}

} // namespace vtest
