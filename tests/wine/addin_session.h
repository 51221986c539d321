// The add-in as the host runs it, for the tests on the COM stand-in host: a
// copy of the module in a scratch directory (so that its settings file lies
// there too), registered and created by program identifier, and a world of
// documents behind the COM stand-in host.
#pragma once

#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "com_host/world.h"
#include "simhost/host.h"
#include "test_support.h"

#include <memory>
#include <string>

namespace vtest {

class AddinSession {
public:
  explicit AddinSession(const Environment& environment);
  ~AddinSession();
  AddinSession(const AddinSession&) = delete;
  AddinSession& operator=(const AddinSession&) = delete;

  void writeSettings(const std::string& bytes) const;
  // Every writer enabled, the other settings at their defaults.
  void enableAllWriters() const;
  std::wstring settingsPath() const { return directory_.file(L"Vantelo.ini"); }

  HRESULT activate(bool firstTime = true);
  // Makes the document active and fires one save notification for it.
  vantelo::sim::SaveOutcome save(vantelo::sim::DocumentData& document, std::int32_t timing = 4097,
                                 std::int32_t handlingCode = 0);

  // Releases the add-in and checks that it let go of every host object and
  // event connection, and that the module may be unloaded.
  void releaseAddin();

  vantelo::sim::Host host;
  std::shared_ptr<comhost::World> world = comhost::World::create(host);
  ComPtr<IDispatch> addin;
  ComPtr<ApplicationAddInServer> server;

private:
  ScratchDirectory directory_;
  Environment copied_;
  std::unique_ptr<RegisteredModule> registration_;
};

// A text property of the document's user-defined set, or "<missing>".
std::string userProperty(const vantelo::sim::DocumentData& document, const char* name);

// Sets a property of the add-in by name.
void setProperty(IDispatch* addin, const wchar_t* name, VARIANT* value);

} // namespace vtest
