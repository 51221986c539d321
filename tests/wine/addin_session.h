// The add-in as the host runs it, for the tests on the COM stand-in host: a
// copy of the module in a scratch directory (so that its settings file lies
// there too), registered and created by program identifier, and a world of
// documents behind the COM stand-in host. At the end of each test the add-in
// is released, and it must have let go of every host object and event
// connection, and the module must be free to unload.
#pragma once

#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "com_host/world.h"
#include "simhost/host.h"
#include "test_support.h"

#include <memory>
#include <string>

namespace vtest {

class AddinOnHostTest : public ::testing::Test {
protected:
  AddinOnHostTest();
  ~AddinOnHostTest() override;
  void SetUp() override;
  void TearDown() override;

  void WriteSettings(const std::string& bytes) const;
  // Every writer enabled, the other settings at their defaults.
  void EnableAllWriters() const;
  std::wstring SettingsPath() const { return directory_.File(L"Vantelo.ini"); }

  HRESULT Activate(bool firstTime = true);
  // Makes the document active and fires one save notification for it.
  vantelo::sim::SaveOutcome Save(vantelo::sim::DocumentData& document,
                                 std::int32_t timing = vantelo::event_timing::Before,
                                 std::int32_t handlingCode = 0);
  // Sets a property of the add-in by name.
  void SetProperty(const wchar_t* name, VARIANT* value);

  vantelo::sim::Host host_;
  std::shared_ptr<comhost::World> world_ = comhost::World::Create(host_);
  ScratchDirectory directory_;
  std::unique_ptr<RegisteredModule> registration_;
  ComPtr<IDispatch> addin_;
  ComPtr<ApplicationAddInServer> server_;
};

// A text property of the document's user-defined set, or "<missing>".
std::string UserProperty(const vantelo::sim::DocumentData& document, const char* name);

} // namespace vtest
