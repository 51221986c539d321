// The application events object and the connection of the add-in's event
// sink to it.
#include "addin/failure.h"
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/event_sink.h"
#include "com/host_adapter/host_ids.h"

#include <ocidl.h>

namespace vantelo::com::host {

namespace {

// One advised connection; destroying it disconnects the sink.
class Connection final : public EventConnection {
public:
  Connection(ComPtr<IConnectionPoint> point, ComPtr<EventSink> sink, DWORD cookie)
      : point_(std::move(point)), sink_(std::move(sink)), cookie_(cookie) {}
  ~Connection() override {
    // No notification reaches the add-in once it lets go of the connection,
    // even from a host that keeps the sink after Unadvise.
    sink_->detach();
    point_->Unadvise(cookie_);
  }

private:
  ComPtr<IConnectionPoint> point_;
  ComPtr<EventSink> sink_;
  DWORD cookie_;
};

class ApplicationEventsAdapter final : public ApplicationEvents, public DispatchObject {
public:
  explicit ApplicationEventsAdapter(ComPtr<IDispatch> events)
      : DispatchObject(std::move(events), "ApplicationEvents") {}

  std::unique_ptr<EventConnection> Advise(ApplicationEventsSink& target) override {
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = dispatch()->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
    if (FAILED(hr))
      throw Failure(hr, "The application events object offers no event connections (" +
                            HresultText(hr) + ")");
    ComPtr<IConnectionPoint> point;
    hr = container->FindConnectionPoint(iid::ApplicationEventsSink, point.put());
    if (FAILED(hr))
      throw Failure(hr, "The application events object has no connection point for the "
                        "application events (" +
                            HresultText(hr) + ")");
    ComPtr<EventSink> sink = EventSink::create(target);
    DWORD cookie = 0;
    hr = point->Advise(sink.get(), &cookie);
    if (FAILED(hr)) {
      sink->detach();
      throw Failure(hr, "The host refused the connection to its application events (" +
                            HresultText(hr) + ")");
    }
    try {
      return std::make_unique<Connection>(point, sink, cookie);
    } catch (...) {
      sink->detach();
      point->Unadvise(cookie);
      throw;
    }
  }
};

} // namespace

Ref<ApplicationEvents> makeApplicationEvents(ComPtr<IDispatch> events) {
  return wrapped<ApplicationEventsAdapter>(std::move(events));
}

} // namespace vantelo::com::host
