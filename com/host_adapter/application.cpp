// The add-in site and the application.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class AddInSiteAdapter final : public ApplicationAddInSite, public DispatchObject {
public:
  AddInSiteAdapter(ComPtr<IDispatch> site, AdapterPool& pool)
      : DispatchObject(std::move(site), "ApplicationAddInSite", pool) {}

  Ref<vantelo::Application> Application() override {
    return MakeApplication(Pool(),
                           GetObjectAs(dispid::SiteApplication, "Application", iid::Application));
  }
};

class ApplicationAdapter final : public Application, public DispatchObject {
public:
  ApplicationAdapter(ComPtr<IDispatch> application, AdapterPool& pool)
      : DispatchObject(std::move(application), "Application", pool) {}

  Ref<vantelo::Document> ActiveDocument() override {
    return MakeDocument(Pool(),
                        GetObjectAs(dispid::ActiveDocument, "ActiveDocument", iid::Document));
  }

  Ref<vantelo::ApplicationEvents> ApplicationEvents() override {
    return MakeApplicationEvents(Pool(), GetObjectAs(dispid::ApplicationEvents, "ApplicationEvents",
                                                     iid::ApplicationEvents));
  }

  void SetStatusBarText(const std::string& text) override {
    Put(dispid::StatusBarText, "StatusBarText", TextArgument(text));
  }
};

} // namespace

Ref<ApplicationAddInSite> MakeAddInSite(ComPtr<IDispatch> site) {
  // The root of every adapter reached from the application: its pool lives
  // as long as any of them.
  return Wrapped<AddInSiteAdapter>(*AdapterPool::Create(), std::move(site));
}

Ref<Application> MakeApplication(AdapterPool& pool, ComPtr<IDispatch> application) {
  return Wrapped<ApplicationAdapter>(pool, std::move(application));
}

} // namespace vantelo::com::host
