// The add-in site, the application, its events object and the objects of a
// save notification.
#include "simhost/proxies.h"

#include <memory>

namespace vantelo::sim {

namespace {

class AddInSiteProxy final : public ApplicationAddInSite, Proxy {
public:
  explicit AddInSiteProxy(StatePtr state) : Proxy(std::move(state), "ApplicationAddInSite") {}

  Ref<vantelo::Application> Application() override {
    Enter(Operation("ApplicationAddInSite.Application"));
    return NewApplication(State());
  }
};

class ApplicationProxy final : public Application, Proxy {
public:
  explicit ApplicationProxy(StatePtr state) : Proxy(std::move(state), "Application") {}

  Ref<vantelo::Document> ActiveDocument() override {
    Enter(Operation("Application.ActiveDocument"));
    auto active = Host().activeDocument.lock();
    if (!active)
      return nullptr;
    return NewDocument(State(), active);
  }

  Ref<vantelo::ApplicationEvents> ApplicationEvents() override {
    Enter(Operation("Application.ApplicationEvents"));
    return NewApplicationEvents(State());
  }

  void SetStatusBarText(const std::string& text) override {
    Enter(Operation("Application.SetStatusBarText"));
    Host().statusBarText = text;
  }
};

// Keeps the sink connected until destroyed.
class Connection final : public EventConnection {
public:
  Connection(StatePtr state, std::uint64_t number) : state_(std::move(state)), number_(number) {}
  ~Connection() override { state_->sinks.erase(number_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

private:
  StatePtr state_;
  std::uint64_t number_;
};

class ApplicationEventsProxy final : public ApplicationEvents, Proxy {
public:
  explicit ApplicationEventsProxy(StatePtr state) : Proxy(std::move(state), "ApplicationEvents") {}

  std::unique_ptr<EventConnection> Advise(ApplicationEventsSink& sink) override {
    Enter(Operation("ApplicationEvents.Advise"));
    const auto number = Host().nextConnection++;
    Host().sinks.emplace(number, &sink);
    return std::make_unique<Connection>(State(), number);
  }
};

class SaveContextProxy final : public HostObject, Proxy {
public:
  explicit SaveContextProxy(StatePtr state) : Proxy(std::move(state), "Context") {}
};

} // namespace

Ref<ApplicationAddInSite> NewAddInSite(StatePtr state) {
  return std::make_shared<AddInSiteProxy>(std::move(state));
}

Ref<Application> NewApplication(StatePtr state) {
  return std::make_shared<ApplicationProxy>(std::move(state));
}

Ref<ApplicationEvents> NewApplicationEvents(StatePtr state) {
  return std::make_shared<ApplicationEventsProxy>(std::move(state));
}

Ref<HostObject> NewSaveContext(StatePtr state) {
  return std::make_shared<SaveContextProxy>(std::move(state));
}

} // namespace vantelo::sim
