// Registration through the module's exports and through regsvr32: what it
// writes, that unregistration puts the registry back as it was, and that the
// host's own interface and type-library keys are never touched.
#include "check.h"
#include "com/idl/Vantelo_h.h"
#include "registry_snapshot.h"
#include "test_groups.h"
#include "test_support.h"

#include <oleauto.h>

namespace vtest {

namespace {

const std::wstring ClassKey = L"CLSID\\{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}";
const std::wstring HostInterfaceKey =
    L"HKLM\\Software\\Classes\\Interface\\{E3571293-DB40-11D2-B783-0060B0F159EF}";
const std::wstring HostLibraryKey =
    L"HKLM\\Software\\Classes\\TypeLib\\{D98A091D-3A0F-4C3E-B36E-61F62068D488}";

std::wstring classesText(const std::wstring& key, const wchar_t* value = nullptr) {
  wchar_t text[1024] = {};
  DWORD bytes = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &bytes) !=
      ERROR_SUCCESS)
    return L"(missing)";
  return text;
}

void checkRegistered(const std::wstring& modulePath) {
  CHECK_EQ(classesText(ClassKey), std::wstring(L"Vantelo.clsVantelo"));
  CHECK_EQ(CompareStringOrdinal(classesText(ClassKey + L"\\InprocServer32").c_str(), -1,
                                modulePath.c_str(), -1, TRUE),
           CSTR_EQUAL);
  CHECK_EQ(classesText(ClassKey + L"\\InprocServer32", L"ThreadingModel"),
           std::wstring(L"Apartment"));
  CHECK_EQ(classesText(ClassKey + L"\\ProgID"), std::wstring(L"Vantelo.clsVantelo"));
  CHECK_EQ(classesText(L"Vantelo.clsVantelo\\Clsid"),
           std::wstring(L"{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}"));
  // The type library is registered from the module itself.
  Bstr path;
  CHECK_OK(QueryPathOfRegTypeLib(LIBID_Vantelo, 1, 0, 0, path.put()));
  CHECK_EQ(CompareStringOrdinal(path.get() ? path.get() : L"", -1, modulePath.c_str(), -1, TRUE),
           CSTR_EQUAL);
}

void checkRestored(const RegistrySnapshot& before, const char* how) {
  const auto changes = differences(before, snapshotClassRegistrations());
  if (!changes.empty()) {
    reportFailure(__FILE__, __LINE__, std::string("registry not restored after ") + how);
    for (const auto& change : changes)
      std::printf("    %s\n", change.c_str());
  }
}

int runRegsvr32(const std::wstring& arguments) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(system) + L"\\regsvr32.exe\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}

void registrationThroughExports(const Environment& environment) {
  ensureHostLibraryRegistered(environment);
  const RegistrySnapshot before = snapshotClassRegistrations();
  CHECK(!subtree(before, HostInterfaceKey).empty());
  CHECK(!subtree(before, HostLibraryKey).empty());

  LoadedModule module(environment.module);
  CHECK_OK(module.registerServer());
  checkRegistered(module.fileName());
  const RegistrySnapshot registered = snapshotClassRegistrations();
  CHECK(subtree(registered, HostInterfaceKey) == subtree(before, HostInterfaceKey));
  CHECK(subtree(registered, HostLibraryKey) == subtree(before, HostLibraryKey));

  // Registering twice changes nothing more.
  CHECK_OK(module.registerServer());
  CHECK(differences(registered, snapshotClassRegistrations()).empty());

  CHECK_OK(module.unregisterServer());
  checkRestored(before, "DllUnregisterServer");
  // Unregistering what is not registered succeeds and changes nothing.
  CHECK_OK(module.unregisterServer());
  checkRestored(before, "a second DllUnregisterServer");
}

void registrationThroughRegsvr32(const Environment& environment) {
  ensureHostLibraryRegistered(environment);
  const RegistrySnapshot before = snapshotClassRegistrations();
  const std::wstring quoted = L"\"" + environment.module + L"\"";
  CHECK_EQ(runRegsvr32(L"/s " + quoted), 0);
  checkRegistered(environment.module);
  CHECK_EQ(runRegsvr32(L"/u /s " + quoted), 0);
  checkRestored(before, "regsvr32 /u");
}

void programIdentifierOfAnotherClassIsKept(const Environment& environment) {
  ensureHostLibraryRegistered(environment);
  LoadedModule module(environment.module);
  CHECK_OK(module.registerServer());
  // Another registration takes the program identifier over.
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  CHECK_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L"Vantelo.clsVantelo\\Clsid", nullptr, REG_SZ,
                           other.c_str(), static_cast<DWORD>((other.size() + 1) * 2)),
           ERROR_SUCCESS);
  CHECK_OK(module.unregisterServer());
  CHECK_EQ(classesText(L"Vantelo.clsVantelo\\Clsid"), other);
  CHECK_EQ(classesText(ClassKey), std::wstring(L"(missing)"));
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Vantelo.clsVantelo");
}

void classObjectAndUnloading(const Environment& environment) {
  LoadedModule module(environment.module);
  CHECK_OK(module.canUnloadNow());

  ComPtr<IClassFactory> factory;
  CHECK_HR(module.getClassObject(IID_IUnknown, IID_IClassFactory, factory.putVoid()),
           CLASS_E_CLASSNOTAVAILABLE);
  CHECK_OK(module.getClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.putVoid()));
  if (!factory)
    return;
  CHECK_HR(module.canUnloadNow(), S_FALSE);

  ComPtr<IUnknown> outer;
  CHECK_OK(factory->QueryInterface(IID_IUnknown, outer.putVoid()));
  ComPtr<IUnknown> aggregated;
  CHECK_HR(factory->CreateInstance(outer.get(), IID_IUnknown, aggregated.putVoid()),
           CLASS_E_NOAGGREGATION);
  outer.reset();

  ComPtr<IDispatch> object;
  CHECK_OK(factory->CreateInstance(nullptr, IID_IDispatch, object.putVoid()));
  CHECK_OK(factory->LockServer(TRUE));
  factory.reset();
  CHECK_HR(module.canUnloadNow(), S_FALSE); // the object and the lock
  object.reset();
  CHECK_HR(module.canUnloadNow(), S_FALSE); // the lock
  CHECK_OK(module.getClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.putVoid()));
  CHECK_OK(factory->LockServer(FALSE));
  factory.reset();
  CHECK_OK(module.canUnloadNow());
}

} // namespace

void registrationTests(const Environment& environment) {
  registrationThroughExports(environment);
  registrationThroughRegsvr32(environment);
  programIdentifierOfAnotherClassIsKept(environment);
  classObjectAndUnloading(environment);
}

} // namespace vtest
