// The host's add-in server operations: Activate, Deactivate, Automation.
#include "addin/clsVantelo.h"

#include <utility>

namespace vantelo {

// Keeps the application for the object's life and connects the class to the
// application's save notifications. Runs the same way at every activation; a
// second one replaces the connection. An add-in that could not name its
// settings file to the profile functions refuses to start, before any host
// call: it would otherwise run every save on the defaults, with every writer
// off, and say nothing.
void clsVantelo::Activate(const Ref<ApplicationAddInSite>& AddInSiteObject, bool /*FirstTime*/) {
  RequireNameableSettingsFile();
  HostApplication = Use(AddInSiteObject).Application();
  Ref<ApplicationEvents> events = Use(HostApplication).ApplicationEvents();
  std::unique_ptr<EventConnection> connection = Use(events).Advise(*this);
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

// The profile functions take the path in the ANSI code page, where a
// character the page cannot hold becomes '?'.
void clsVantelo::RequireNameableSettingsFile() {
  const std::string path = IniFilePath();
  if (!AnsiHolds(path))
    throw Failure(hresult::NoUnicodeTranslation,
                  "The settings file \"" + path +
                      "\" cannot be named to the settings file functions: its path has "
                      "characters outside the system's ANSI code page, and no short (8.3) form "
                      "without them. Install the add-in where its path has none.");
}

} // namespace vantelo
