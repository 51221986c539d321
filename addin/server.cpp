// The host's add-in server operations: Activate, Deactivate, Automation.
#include "addin/clsVantelo.h"

#include <utility>

namespace vantelo {

// Keeps the application for the object's life and connects the class to the
// application's save notifications. Runs the same way at every activation; a
// second one replaces the connection.
void clsVantelo::Activate(const Ref<ApplicationAddInSite>& AddInSiteObject, bool /*FirstTime*/) {
  HostApplication = Use(AddInSiteObject).Application();
  Ref<ApplicationEvents> events = Use(HostApplication).ApplicationEvents();
  std::unique_ptr<EventConnection> connection = Use(events).Advise(*this);
  AppEvents = std::move(events);
  appEventsConnection_ = std::move(connection); // releases the previous connection
}

// Releases nothing: the application, the active document and the event
// connection stay until the object goes, so saves are still handled.
void clsVantelo::Deactivate() { platform_.messagePump->ProcessWaitingMessages(); }

Ref<HostObject> clsVantelo::Automation() {
  platform_.messagePump->ProcessWaitingMessages();
  return nullptr;
}

} // namespace vantelo
