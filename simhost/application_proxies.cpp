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
    enter(operation("ApplicationAddInSite.Application"));
    return newApplication(state());
  }
};

class ApplicationProxy final : public Application, Proxy {
public:
  explicit ApplicationProxy(StatePtr state) : Proxy(std::move(state), "Application") {}

  Ref<vantelo::Document> ActiveDocument() override {
    enter(operation("Application.ActiveDocument"));
    auto active = host().activeDocument.lock();
    if (!active)
      return nullptr;
    return newDocument(state(), active);
  }

  Ref<vantelo::ApplicationEvents> ApplicationEvents() override {
    enter(operation("Application.ApplicationEvents"));
    return newApplicationEvents(state());
  }

  void SetStatusBarText(const std::string& text) override {
    enter(operation("Application.SetStatusBarText"));
    host().statusBarText = text;
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
    enter(operation("ApplicationEvents.Advise"));
    const auto number = host().nextConnection++;
    host().sinks.emplace(number, &sink);
    return std::make_unique<Connection>(state(), number);
  }
};

class SaveContextProxy final : public HostObject, Proxy {
public:
  explicit SaveContextProxy(StatePtr state) : Proxy(std::move(state), "Context") {}
};

} // namespace

Ref<ApplicationAddInSite> newAddInSite(StatePtr state) {
  return std::make_shared<AddInSiteProxy>(std::move(state));
}

Ref<Application> newApplication(StatePtr state) {
  return std::make_shared<ApplicationProxy>(std::move(state));
}

Ref<ApplicationEvents> newApplicationEvents(StatePtr state) {
  return std::make_shared<ApplicationEventsProxy>(std::move(state));
}

Ref<HostObject> newSaveContext(StatePtr state) {
  return std::make_shared<SaveContextProxy>(std::move(state));
}

} // namespace vantelo::sim
