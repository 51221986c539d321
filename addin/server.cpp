// The host's add-in server operations: Activate, Deactivate, Automation.
#include "addin/clsVantelo.h"

#include <utility>

namespace vantelo {

// Keeps the application for the object's life and connects the class to the
// application's save notifications. Runs the same way at every activation; a
// second one replaces the connection.
void clsVantelo::Activate(const Ref<ApplicationAddInSite>& AddInSiteObject, bool /*FirstTime*/) {
  HostApplication = use(AddInSiteObject).Application();
  Ref<ApplicationEvents> events = use(HostApplication).ApplicationEvents();
  std::unique_ptr<EventConnection> connection = use(events).Advise(*this);
  AppEvents = std::move(events);
  appEventsConnection_ = std::move(connection); // releases the previous connection
}

// Releases nothing: the application, the active document and the event
// connection stay until the object goes, so saves are still handled.
void clsVantelo::Deactivate() { platform_.messagePump->ProcessWaitingMessages(); }

// The object a client reaches through the host's add-in object: this very
// object, the one the host activated, so that a macro can set the parts-list
// members and call the update on the add-in that holds the host application.
clsVantelo& clsVantelo::Automation() {
  platform_.messagePump->ProcessWaitingMessages();
  return *this;
}

} // namespace vantelo
