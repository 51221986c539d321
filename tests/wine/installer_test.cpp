// The installer under the system's msiexec, each group in a Wine prefix of its
// own (tests/wine/CMakeLists.txt): install, use of the installed class from a
// script and from the host, uninstall against the registry as it was before;
// a lower version refused; and an upgrade from a lower version that must keep
// the administrator's settings file.
#include "addin_session.h"
#include "registry_snapshot.h"
#include "test_support.h"
#include "vantelo_version.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vtest {

namespace {

const std::wstring ClassKey = L"Software\\Classes\\CLSID\\{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}";
const std::wstring ProgIdKey = L"Software\\Classes\\Vantelo.clsVantelo";
const std::wstring UninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::wstring Wide(const char* text) { return std::wstring(text, text + strlen(text)); }

int Msiexec(const std::wstring& arguments) {
  return RunProgram(SystemProgram(L"msiexec.exe") + L" " + arguments);
}

std::wstring Package() { return L"\"" + WindowsPath(VANTELO_MSI) + L"\""; }

std::wstring Installed(const wchar_t* name) { return InstalledFolder() + L"\\" + name; }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
}

// The registry as it was before the install, kept in the prefix's temporary
// folder from the install test to the uninstall test.
std::wstring SnapshotFile() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + L"vantelo-registry-before-install.txt";
}

// As UTF-16 text: each path and value ended by a separator of its own.
void SaveSnapshot(const RegistrySnapshot& snapshot) {
  std::wstring text;
  for (const auto& [path, value] : snapshot)
    text += path + L'\x1f' + value + L'\x1e';
  WriteBytes(SnapshotFile(), std::string(reinterpret_cast<const char*>(text.data()),
                                         text.size() * sizeof(wchar_t)));
}

RegistrySnapshot LoadSnapshot() {
  const std::string bytes = ReadFileBytes(SnapshotFile());
  std::wistringstream in(
      std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)));
  RegistrySnapshot snapshot;
  std::wstring path, value;
  while (std::getline(in, path, L'\x1f') && std::getline(in, value, L'\x1e'))
    snapshot[path] = value;
  return snapshot;
}

// A text value under HKLM, or "(missing)".
std::wstring MachineText(const std::wstring& key, const wchar_t* value = nullptr) {
  return RegistryText(HKEY_LOCAL_MACHINE, key, value);
}

bool MachineKeyExists(const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return false;
  RegCloseKey(opened);
  return true;
}

// The 64-bit view of the class registrations: Wine's RegisterTypeLib also
// copies the interface keys into the 32-bit view, which the 64-bit package
// has no business with.
RegistrySnapshot NativeClassRegistrations() {
  return Without(Without(SnapshotClassRegistrations(), L"HKLM\\Software\\Wow6432Node"),
                 L"HKLM\\Software\\Classes\\Wow6432Node");
}

// Where a package of ours writes: the class registrations (either view,
// either hive), the installed-programs list and Windows Installer's own
// records. The rest of the registry is left out: Wine's background services
// keep writing there (network cards, for one) at their own pace.
RegistrySnapshot WhereAPackageWrites() {
  RegistrySnapshot watched;
  for (const auto& [path, value] : SnapshotSoftware())
    for (const wchar_t* root :
         {L"hklm\\software\\classes", L"hklm\\software\\wow6432node\\classes",
          L"hkcu\\software\\classes", L"hklm\\software\\microsoft\\windows\\currentversion"})
      if (path.starts_with(root))
        watched.insert({path, value});
  return watched;
}

// Runs a script with the system's script host; its exit code.
int RunScript(const std::string& text, std::string* output) {
  const ScratchDirectory directory;
  const std::wstring script = directory.File(L"script.vbs");
  WriteBytes(script, text);
  return RunProgram(SystemProgram(L"cscript.exe") + L" //nologo \"" + script + L"\"", output);
}

// Keys (without values) that Windows Installer keeps for its own bookkeeping
// once it has installed anything.
bool InstallerBookkeeping(const std::wstring& path, const std::wstring& value) {
  return value == L"(key)" &&
         (path.starts_with(L"hklm\\software\\classes\\installer") ||
          path.starts_with(L"hklm\\software\\microsoft\\windows\\currentversion\\installer"));
}

// Entries of the installed-programs list (name, version) named Vantelo.
std::vector<std::wstring> ProductEntries() {
  std::vector<std::wstring> versions;
  HKEY list = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey.c_str(), 0, KEY_READ, &list) != ERROR_SUCCESS)
    return versions;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    wchar_t text[256] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(list, name, L"DisplayName", RRF_RT_REG_SZ, nullptr, text, &bytes) !=
            ERROR_SUCCESS ||
        std::wstring(text) != L"Vantelo")
      continue;
    bytes = sizeof text - sizeof(wchar_t);
    text[0] = 0;
    RegGetValueW(list, name, L"DisplayVersion", RRF_RT_REG_SZ, nullptr, text, &bytes);
    versions.push_back(text);
  }
  RegCloseKey(list);
  return versions;
}

// What a save needs to find in the settings file: every key, with a value.
void ExpectCompleteSettings(const std::string& bytes) {
  for (const char* line :
       {"[Global Options]", "EnableTimeStamp=", "[View Scale Options]",
        "ListSparator=", "[Sheet Metal Options]", "SMThicknessPropertyName=SM_Thickness"})
    EXPECT_NE(bytes.find(line), std::string::npos) << line << " missing in:\n" << bytes;
  // The installed program agrees that nothing is missing.
  std::string output;
  EXPECT_EQ(RunProgram(L"\"" + Installed(L"vantelo.exe") + L"\" settings check \"" +
                           Installed(L"Vantelo.ini") + L"\" --format json",
                       &output),
            0)
      << output;
  EXPECT_NE(output.find("\"status\": \"ok\""), std::string::npos) << output;
  // Not even a note: nothing that a save would write again.
  EXPECT_NE(output.find("\"findings\": []"), std::string::npos) << output;
}

TEST(InstalledPackage, InstallsFilesRegistryAndSettings) {
  // The script host registers its own type libraries when it first runs:
  // before the snapshot, so that they are no difference.
  std::string output;
  ASSERT_EQ(RunScript("WScript.Quit 0\r\n", &output), 0) << output;
  SaveSnapshot(WhereAPackageWrites());
  ASSERT_EQ(Msiexec(L"/i " + Package() + L" /qn"), 0);

  for (const wchar_t* file : {L"Vantelo.dll", L"vantelo.exe", L"Vantelo.ini"})
    EXPECT_TRUE(FileExists(Installed(file))) << ::testing::PrintToString(std::wstring(file));
  ExpectCompleteSettings(ReadFileBytes(Installed(L"Vantelo.ini")));

  const RegistrySnapshot installed = NativeClassRegistrations();
  EXPECT_EQ(MachineText(ClassKey + L"\\InprocServer32"), Installed(L"Vantelo.dll"));
  EXPECT_EQ(MachineText(ProgIdKey + L"\\Clsid"), L"{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}");
  // What makes the host load the add-in.
  EXPECT_EQ(MachineText(ClassKey + L"\\Settings", L"LoadOnStartUp"), L"1");
  for (const wchar_t* category : {L"\\Implemented Categories\\", L"\\Required Categories\\"})
    EXPECT_TRUE(MachineKeyExists(ClassKey + category + L"{39AD2B5C-7A29-11D6-8E0A-0010B541CAA8}"))
        << ::testing::PrintToString(std::wstring(category));
  EXPECT_EQ(ProductEntries(), std::vector<std::wstring>{Wide(VANTELO_VERSION_TEXT)});

  // The package's registry is what the module registers itself: registering
  // the installed module again changes nothing (so the two cannot drift
  // apart, and uninstall removes what either wrote).
  {
    const LoadedModule module(Installed(L"Vantelo.dll"));
    EXPECT_OK(module.RegisterServer());
  }
  EXPECT_EQ(NativeClassRegistrations(), installed);
  // The copy in the 32-bit view is this test's doing, not the package's.
  RegDeleteTreeW(
      HKEY_LOCAL_MACHINE,
      L"Software\\Wow6432Node\\Classes\\Interface\\{18CD20BD-5A1C-46AB-8F97-B348C98C34C1}");
}

TEST(InstalledPackage, ScriptCreatesTheClass) {
  std::string output;
  EXPECT_EQ(RunScript("On Error Resume Next\r\n"
                      "Set addin = CreateObject(\"Vantelo.clsVantelo\")\r\n"
                      "If Err.Number <> 0 Or Not IsObject(addin) Then WScript.Quit 1\r\n"
                      "WScript.Quit 0\r\n",
                      &output),
            0)
      << output;
}

class InstalledAddinOnHost : public AddinOnHostTest {
protected:
  InstalledAddinOnHost() : AddinOnHostTest(Module::Installed) {}
};

TEST_F(InstalledAddinOnHost, SaveWritesWithoutTouchingTheSettingsFile) {
  std::string settings = ReadFileBytes(SettingsPath());
  const auto enable = settings.find("EnableTimeStamp=False");
  ASSERT_NE(enable, std::string::npos) << settings;
  settings.replace(enable, 21, "EnableTimeStamp=True");
  WriteSettings(settings);
  ASSERT_OK(Activate());
  auto& part = host_.AddDocument({.name = "Plain.ipt", .type = vantelo::document_type::Part});
  EXPECT_TRUE(Save(part).succeeded);
  EXPECT_NE(UserProperty(part, "SaveTime"), "<missing>");
  // The file is complete: the save had nothing to add to it.
  EXPECT_EQ(ReadFileBytes(SettingsPath()), settings);
}

#ifdef VANTELO_LOWER_MSI
TEST(InstalledPackage, RefusesALowerVersion) {
  EXPECT_NE(Msiexec(L"/i \"" + WindowsPath(VANTELO_LOWER_MSI) + L"\" /qn"), 0);
  EXPECT_EQ(ProductEntries(), std::vector<std::wstring>{Wide(VANTELO_VERSION_TEXT)});
}
#endif

TEST(InstalledPackage, UninstallLeavesOnlyTheSettingsFile) {
  const RegistrySnapshot before = LoadSnapshot();
  ASSERT_FALSE(before.empty());
  const std::string settings = ReadFileBytes(Installed(L"Vantelo.ini"));
  ASSERT_EQ(Msiexec(L"/x " + Package() + L" /qn"), 0);

  EXPECT_FALSE(FileExists(Installed(L"Vantelo.dll")));
  EXPECT_FALSE(FileExists(Installed(L"vantelo.exe")));
  EXPECT_EQ(ReadFileBytes(Installed(L"Vantelo.ini")), settings);
  EXPECT_TRUE(ProductEntries().empty());
  const RegistrySnapshot after = WhereAPackageWrites();
  for (const auto& [path, value] : after)
    if (!before.count(path) && !InstallerBookkeeping(path, value))
      ADD_FAILURE() << "left behind: " << ::testing::PrintToString(path) << " = "
                    << ::testing::PrintToString(value);
  EXPECT_EQ(MachineText(ClassKey), L"(missing)");
  EXPECT_EQ(MachineText(ProgIdKey), L"(missing)");
}

#ifdef VANTELO_LOWER_MSI
TEST(PackageUpgrade, KeepsTheEditedSettingsFile) {
  const std::wstring lower = L"\"" + WindowsPath(VANTELO_LOWER_MSI) + L"\"";
  // The lower version lays down the company's own file.
  const ScratchDirectory directory;
  const std::string company = "[Global Options]\r\nEnableTimeStamp=True\r\n";
  WriteBytes(directory.File(L"Company.ini"), company);
  ASSERT_EQ(Msiexec(L"/i " + lower + L" /qn SETTINGS=\"" + directory.File(L"Company.ini") + L"\""),
            0);
  EXPECT_EQ(ReadFileBytes(Installed(L"Vantelo.ini")), company);
  EXPECT_EQ(ProductEntries(), std::vector<std::wstring>{Wide(VANTELO_LOWER_VERSION)});

  const std::string edited = company + "EnableMassVolume=True\r\n";
  WriteBytes(Installed(L"Vantelo.ini"), edited);
  ASSERT_EQ(Msiexec(L"/i " + Package() + L" /qn"), 0);
  EXPECT_EQ(ReadFileBytes(Installed(L"Vantelo.ini")), edited);
  EXPECT_EQ(ProductEntries(), std::vector<std::wstring>{Wide(VANTELO_VERSION_TEXT)});
  EXPECT_TRUE(FileExists(Installed(L"Vantelo.dll")));
  // A downgrade is tested on a package installed straight away
  // (RefusesALowerVersion): after a major upgrade Wine's msiexec forgets the
  // newer product's upgrade code with the older product, and no longer sees
  // that a newer version is installed.
}
#endif

} // namespace

} // namespace vtest
