// The add-in site and the application.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class AddInSiteAdapter final : public ApplicationAddInSite, public DispatchObject {
public:
  explicit AddInSiteAdapter(ComPtr<IDispatch> site)
      : DispatchObject(std::move(site), "ApplicationAddInSite") {}

  Ref<vantelo::Application> Application() override {
    return MakeApplication(GetObjectAs(dispid::SiteApplication, "Application", iid::Application));
  }
};

class ApplicationAdapter final : public Application, public DispatchObject {
public:
  explicit ApplicationAdapter(ComPtr<IDispatch> application)
      : DispatchObject(std::move(application), "Application") {}

  Ref<vantelo::Document> ActiveDocument() override {
    return MakeDocument(GetObjectAs(dispid::ActiveDocument, "ActiveDocument", iid::Document));
  }

  Ref<vantelo::ApplicationEvents> ApplicationEvents() override {
    return MakeApplicationEvents(
        GetObjectAs(dispid::ApplicationEvents, "ApplicationEvents", iid::ApplicationEvents));
  }

  void SetStatusBarText(const std::string& text) override {
    Put(dispid::StatusBarText, "StatusBarText", TextArgument(text));
  }
};

} // namespace

Ref<ApplicationAddInSite> MakeAddInSite(ComPtr<IDispatch> site) {
  return Wrapped<AddInSiteAdapter>(std::move(site));
}

Ref<Application> MakeApplication(ComPtr<IDispatch> application) {
  return Wrapped<ApplicationAdapter>(std::move(application));
}

} // namespace vantelo::com::host
