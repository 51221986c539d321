// Registration through the module's exports and through regsvr32: what it
// writes, that unregistration puts the registry back as it was, and that the
// host's own interface and type-library keys are never touched; the class
// object and the module's unload answer.
#include "com/idl/Vantelo_h.h"
#include "registry_snapshot.h"
#include "test_support.h"

#include <oleauto.h>

namespace vtest {

namespace {

const std::wstring ClassKey = L"CLSID\\{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}";
const std::wstring HostInterfaceKey =
    L"HKLM\\Software\\Classes\\Interface\\{E3571293-DB40-11D2-B783-0060B0F159EF}";
const std::wstring HostLibraryKey =
    L"HKLM\\Software\\Classes\\TypeLib\\{D98A091D-3A0F-4C3E-B36E-61F62068D488}";

std::wstring ClassesText(const std::wstring& key, const wchar_t* value = nullptr) {
  return RegistryText(HKEY_CLASSES_ROOT, key, value);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void ExpectRegistered(const std::wstring& modulePath) {
  EXPECT_EQ(ClassesText(ClassKey), L"Vantelo");
  EXPECT_PRED2(SamePath, ClassesText(ClassKey + L"\\InprocServer32"), modulePath);
  EXPECT_EQ(ClassesText(ClassKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ClassesText(ClassKey + L"\\ProgID"), L"Vantelo.clsVantelo");
  EXPECT_EQ(ClassesText(L"Vantelo.clsVantelo\\Clsid"), L"{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}");
  // The type library is registered from the module itself.
  Bstr path;
  EXPECT_OK(QueryPathOfRegTypeLib(LIBID_Vantelo, 1, 0, 0, path.Put()));
  EXPECT_PRED2(SamePath, path.Get() ? path.Get() : L"", modulePath);
}

void ExpectRestored(const RegistrySnapshot& before) {
  EXPECT_EQ(Differences(before, SnapshotClassRegistrations()), std::vector<std::string>{});
}

int RunRegsvr32(const std::wstring& arguments) {
  return RunProgram(SystemProgram(L"regsvr32.exe") + L" " + arguments);
}

class Registration : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(EnsureHostLibraryRegistered());
    before_ = SnapshotClassRegistrations();
  }

  RegistrySnapshot before_;
};

TEST_F(Registration, ThroughTheExportsLeavesTheHostsKeysAndIsUndoneWhole) {
  EXPECT_FALSE(Subtree(before_, HostInterfaceKey).empty());
  EXPECT_FALSE(Subtree(before_, HostLibraryKey).empty());

  LoadedModule module(ModulePath());
  EXPECT_OK(module.RegisterServer());
  ExpectRegistered(module.FileName());
  const RegistrySnapshot registered = SnapshotClassRegistrations();
  EXPECT_EQ(Subtree(registered, HostInterfaceKey), Subtree(before_, HostInterfaceKey));
  EXPECT_EQ(Subtree(registered, HostLibraryKey), Subtree(before_, HostLibraryKey));

  // Registering twice changes nothing more.
  EXPECT_OK(module.RegisterServer());
  EXPECT_EQ(Differences(registered, SnapshotClassRegistrations()), std::vector<std::string>{});

  EXPECT_OK(module.UnregisterServer());
  ExpectRestored(before_);
  // Unregistering what is not registered succeeds and changes nothing.
  EXPECT_OK(module.UnregisterServer());
  ExpectRestored(before_);
}

TEST_F(Registration, ThroughRegsvr32) {
  const std::wstring quoted = L"\"" + ModulePath() + L"\"";
  EXPECT_EQ(RunRegsvr32(L"/s " + quoted), 0);
  ExpectRegistered(ModulePath());
  EXPECT_EQ(RunRegsvr32(L"/u /s " + quoted), 0);
  ExpectRestored(before_);
}

TEST_F(Registration, KeepsAProgramIdentifierThatAnotherClassTookOver) {
  LoadedModule module(ModulePath());
  EXPECT_OK(module.RegisterServer());
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L"Vantelo.clsVantelo\\Clsid", nullptr, REG_SZ,
                            other.c_str(), static_cast<DWORD>((other.size() + 1) * 2)),
            ERROR_SUCCESS);
  EXPECT_OK(module.UnregisterServer());
  EXPECT_EQ(ClassesText(L"Vantelo.clsVantelo\\Clsid"), other);
  EXPECT_EQ(ClassesText(ClassKey), L"(missing)");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Vantelo.clsVantelo");
}

TEST(ClassObject, CreatesObjectsAndKeepsTheModuleWhileAnyIsAliveOrLocked) {
  LoadedModule module(ModulePath());
  EXPECT_OK(module.CanUnloadNow());

  ComPtr<IClassFactory> factory;
  EXPECT_HR(module.GetClassObject(IID_IUnknown, IID_IClassFactory, factory.PutVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_OK(module.GetClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid()));
  EXPECT_HR(module.CanUnloadNow(), S_FALSE);

  ComPtr<IUnknown> outer;
  EXPECT_OK(factory->QueryInterface(IID_IUnknown, outer.PutVoid()));
  ComPtr<IUnknown> aggregated;
  EXPECT_HR(factory->CreateInstance(outer.Get(), IID_IUnknown, aggregated.PutVoid()),
            CLASS_E_NOAGGREGATION);
  outer.Reset();

  ComPtr<IDispatch> object;
  EXPECT_OK(factory->CreateInstance(nullptr, IID_IDispatch, object.PutVoid()));
  EXPECT_OK(factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_HR(module.CanUnloadNow(), S_FALSE); // the object and the lock
  object.Reset();
  EXPECT_HR(module.CanUnloadNow(), S_FALSE); // the lock
  ASSERT_OK(module.GetClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid()));
  EXPECT_OK(factory->LockServer(FALSE));
  // Unlocks without a lock change nothing: the module stays free to unload,
  // and the next lock still holds it.
  EXPECT_OK(factory->LockServer(FALSE));
  EXPECT_OK(factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_OK(module.CanUnloadNow());
  ASSERT_OK(module.GetClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid()));
  EXPECT_OK(factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_HR(module.CanUnloadNow(), S_FALSE);
  ASSERT_OK(module.GetClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid()));
  EXPECT_OK(factory->LockServer(FALSE));
  factory.Reset();
  EXPECT_OK(module.CanUnloadNow());
}

} // namespace

} // namespace vtest
