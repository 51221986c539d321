#include "addin_session.h"

#include "config/every_writer_settings.h"

namespace vtest {

AddinOnHostTest::AddinOnHostTest(Module module) {
  if (module == Module::ScratchCopy) {
    const std::wstring copy = directory_.File(L"Vantelo.dll");
    EXPECT_TRUE(CopyFileW(ModulePath().c_str(), copy.c_str(), FALSE));
    registration_ = std::make_unique<RegisteredModule>(copy);
    settingsPath_ = directory_.File(L"Vantelo.ini");
  } else {
    settingsPath_ = InstalledFolder() + L"\\Vantelo.ini";
  }
  addin_ = CreateByProgId();
  if (addin_) {
    EXPECT_OK(addin_->QueryInterface(IID_ApplicationAddInServer, server_.PutVoid()));
  }
}

AddinOnHostTest::~AddinOnHostTest() {
  server_.Reset();
  addin_.Reset();
  registration_.reset();
  // The module copy can go with the directory only once it is unloaded.
  CoFreeUnusedLibrariesEx(0, 0);
}

void AddinOnHostTest::SetUp() { ASSERT_TRUE(server_); }

void AddinOnHostTest::TearDown() {
  server_.Reset();
  addin_.Reset();
  EXPECT_EQ(world_->LiveObjects(), 0L);
  EXPECT_EQ(world_->Connections(), 0u);
  EXPECT_EQ(host_.LiveReferences(), 0u);
  EXPECT_EQ(host_.LiveConnections(), 0u);
  if (registration_) {
    EXPECT_OK(registration_->Module().CanUnloadNow());
  }
}

void AddinOnHostTest::WriteSettings(const std::string& bytes) const {
  HANDLE file =
      CreateFileW(SettingsPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void AddinOnHostTest::EnableAllWriters() const { WriteSettings(vantelo::kEveryWriterSettings); }

HRESULT AddinOnHostTest::Activate(bool firstTime) {
  const ComPtr<IDispatch> site = world_->AddInSite();
  return server_->Activate(site.Get(), firstTime ? VARIANT_TRUE : VARIANT_FALSE);
}

vantelo::sim::SaveOutcome AddinOnHostTest::Save(vantelo::sim::DocumentData& document,
                                                std::int32_t timing, std::int32_t handlingCode) {
  host_.SetActiveDocument(&document);
  return host_.FireSaveDocument(&document, timing, handlingCode);
}

void AddinOnHostTest::SetProperty(const wchar_t* name, VARIANT* value) {
  EXPECT_OK(PutByName(addin_.Get(), name, value)) << ::testing::PrintToString(std::wstring(name));
}

std::string UserProperty(const vantelo::sim::DocumentData& document, const char* name) {
  const vantelo::sim::PropertyData* property = document.Property(vantelo::fmtid::UserDefined, name);
  if (!property)
    return "<missing>";
  if (const auto* text = std::get_if<std::string>(&property->value))
    return *text;
  return "<not text>";
}

} // namespace vtest
