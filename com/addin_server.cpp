// The host's add-in server interface of the class: Activate, Deactivate,
// ExecuteCommand and Automation, passed on to the core.
#include "com/host_adapter/adapters.h"
#include "com/vantelo_object.h"
#include "com/vantelo_object_call.h"

namespace vantelo::com {

VanteloObject::AddInServer::AddInServer(VanteloObject& object) noexcept : object_(object) {}

HRESULT VanteloObject::AddInServer::QueryInterface(REFIID iid, void** result) {
  return object_.QueryInterface(iid, result);
}
ULONG VanteloObject::AddInServer::AddRef() { return object_.AddRef(); }
ULONG VanteloObject::AddInServer::Release() { return object_.Release(); }

HRESULT VanteloObject::AddInServer::Activate(IDispatch* AddInSiteObject, VARIANT_BOOL FirstTime) {
  return object_.Call(IID_ApplicationAddInServer, [&](clsVantelo& core) {
    core.Activate(host::MakeAddInSite(ComPtr<IDispatch>(AddInSiteObject)),
                  FirstTime != VARIANT_FALSE);
  });
}

HRESULT VanteloObject::AddInServer::Deactivate() {
  return object_.Call(IID_ApplicationAddInServer, [](clsVantelo& core) { core.Deactivate(); });
}

HRESULT VanteloObject::AddInServer::ExecuteCommand(LONG CommandID) {
  return object_.Call(IID_ApplicationAddInServer,
                      [&](clsVantelo& core) { core.ExecuteCommand(CommandID); });
}

// The core decides what a client gets; the one object this module can give
// for the core object is the class's own, through its interface _clsVantelo.
HRESULT VanteloObject::AddInServer::get_Automation(IDispatch** Automation) {
  if (!Automation)
    return E_POINTER;
  *Automation = nullptr;
  return object_.Call(IID_ApplicationAddInServer, [&](clsVantelo& core) {
    if (&core.Automation() != object_.core_.get())
      throw Failure(hresult::Fail, "Automation yielded an object that has no COM interface");
    *Automation = ComPtr<_clsVantelo>(&object_).Detach();
  });
}

} // namespace vantelo::com
