// The application events object and the connection of the add-in's event
// sink to it.
#include "com/com_error.h"
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/event_sink.h"
#include "com/host_adapter/host_ids.h"

#include <ocidl.h>

namespace vantelo::com::host {

namespace {

// The add-in's sink and its connection to the events' connection point.
// Destroying it disconnects the sink.
class Connection final : public EventConnection {
public:
  Connection(ComPtr<IConnectionPoint> point, ApplicationEventsSink& target)
      : point_(std::move(point)), sink_(EventSink::Create(target)) {}
  ~Connection() override {
    // No notification reaches the add-in once it lets go of the connection,
    // even from a host that keeps the sink after Unadvise (or refused it).
    sink_->Detach();
    if (cookie_)
      point_->Unadvise(cookie_);
  }

  void Advise() {
    DWORD cookie = 0;
    ThrowIfFailed(point_->Advise(sink_.Get(), &cookie),
                  "The host refused the connection to its application events");
    cookie_ = cookie;
  }

private:
  ComPtr<IConnectionPoint> point_;
  ComPtr<EventSink> sink_;
  DWORD cookie_ = 0;
};

class ApplicationEventsAdapter final : public ApplicationEvents, public DispatchObject {
public:
  ApplicationEventsAdapter(ComPtr<IDispatch> events, AdapterPool& pool)
      : DispatchObject(std::move(events), "ApplicationEvents", pool) {}

  std::unique_ptr<EventConnection> Advise(ApplicationEventsSink& target) override {
    ComPtr<IConnectionPointContainer> container;
    ThrowIfFailed(Dispatch()->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()),
                  "The application events object offers no event connections");
    ComPtr<IConnectionPoint> point;
    ThrowIfFailed(container->FindConnectionPoint(iid::ApplicationEventsSink, point.Put()),
                  "The application events object has no connection point for the application "
                  "events");
    auto connection = std::make_unique<Connection>(std::move(point), target);
    connection->Advise();
    return connection;
  }
};

} // namespace

Ref<ApplicationEvents> MakeApplicationEvents(AdapterPool& pool, ComPtr<IDispatch> events) {
  return Wrapped<ApplicationEventsAdapter>(pool, std::move(events));
}

} // namespace vantelo::com::host
