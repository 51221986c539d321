// The installer under the system's msiexec, each group in a Wine prefix of its
// own (tests/wine/CMakeLists.txt): install into the fixed folder, what
// Programs and Features and the files' version resources show, use of the
// installed class from a script and from the host, an older version refused,
// uninstall against the registry as it was before; and, with the test
// packages, an upgrade from an older version whose files differ, a downgrade
// refused after it, and a rebuild of the same version replacing the
// installed one; and the company's settings file that SETTINGS= names:
// refused with the reason in the log and on screen, completed when taken,
// removed again by a rollback, and not read by a repair or an upgrade.
#include "addin_session.h"
#include "platform/windows/wide_text.h"
#include "registry_snapshot.h"
#include "test_support.h"
#include "vantelo_version.h"

#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <optional>
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

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Package() { return Quoted(WindowsPath(VANTELO_MSI)); }

std::wstring Installed(const wchar_t* name) { return InstalledFolder() + L"\\" + name; }

// The Start-menu shortcut of the settings page. A per-machine package puts
// it in the folder of every user's programs; Wine's msiexec (8.0) resolves
// ProgramMenuFolder to the installing user's own programs folder even for
// ALLUSERS=1, so under Wine the shortcut is looked for there.
std::wstring PageShortcut() {
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, wine ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS, nullptr,
                              SHGFP_TYPE_CURRENT, folder)))
    return L"(no folder of every user's programs)";
  return std::wstring(folder) + L"\\Vantelo Settings.lnk";
}

// What a shortcut opens, or "(unreadable)".
std::wstring ShortcutTarget(const std::wstring& shortcut) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::wstring target = L"(unreadable)";
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
      target = path;
    if (file)
      file->Release();
    link->Release();
  }
  if (SUCCEEDED(init))
    CoUninitialize();
  return target;
}

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

// An entry of the installed-programs list (Programs and Features).
struct ProductEntry {
  std::wstring productCode; // the entry's key
  std::wstring version, publisher, location;
};

std::wstring EntryText(HKEY list, const wchar_t* key, const wchar_t* name) {
  wchar_t text[512] = {};
  DWORD bytes = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(list, key, name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS)
    return L"(missing)";
  return text;
}

// The entries named Vantelo.
std::vector<ProductEntry> ProductEntries() {
  std::vector<ProductEntry> entries;
  HKEY list = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, UninstallKey.c_str(), 0, KEY_READ, &list) != ERROR_SUCCESS)
    return entries;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(list, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (EntryText(list, name, L"DisplayName") == L"Vantelo")
      entries.push_back({name, EntryText(list, name, L"DisplayVersion"),
                         EntryText(list, name, L"Publisher"),
                         EntryText(list, name, L"InstallLocation")});
  }
  RegCloseKey(list);
  return entries;
}

std::vector<std::wstring> InstalledVersions() {
  std::vector<std::wstring> versions;
  for (const ProductEntry& entry : ProductEntries())
    versions.push_back(entry.version);
  return versions;
}

// Windows Installer ends an install that a launch condition or a custom
// action refuses with 1603, ERROR_INSTALL_FAILURE; so does Wine's msiexec
// (8.0) for a launch condition and for a DLL action that returns that code.
constexpr int RefusedInstallExitCode = 1603;
// Wine differs for a program run as a custom action that fails: it ends the
// install with 1627 (ERROR_FUNCTION_FAILED) where Windows gives 1603.
constexpr int FailedProgramActionExitCode = 1627;

// A file's version "a.b.c.d" from its version resource, "(none)" without
// one; with `item`, that text of the resource's US English block instead.
std::wstring FileVersion(const std::wstring& path, const wchar_t* item = nullptr) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<unsigned char> data(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()))
    return L"(none)";
  void* value = nullptr;
  UINT length = 0;
  if (item) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + item;
    if (!VerQueryValueW(data.data(), query.c_str(), &value, &length) || length == 0)
      return L"(none)";
    return static_cast<const wchar_t*>(value);
  }
  if (!VerQueryValueW(data.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
    return L"(none)";
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
         std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
         std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(fixed->dwFileVersionLS));
}

std::wstring ResourceVersion(const char* productVersion) { return Wide(productVersion) + L".0"; }

// A handle of the installer's API, closed with the object.
class MsiHandle {
public:
  MsiHandle() = default;
  MsiHandle(const MsiHandle&) = delete;
  MsiHandle& operator=(const MsiHandle&) = delete;
  ~MsiHandle() {
    if (handle_)
      MsiCloseHandle(handle_);
  }
  MSIHANDLE* Put() { return &handle_; }
  MSIHANDLE Get() const { return handle_; }

private:
  MSIHANDLE handle_ = 0;
};

// The rows of a query on a package, each as its columns' texts.
std::vector<std::vector<std::wstring>> PackageRows(const std::wstring& package,
                                                   const std::wstring& query) {
  std::vector<std::vector<std::wstring>> rows;
  MsiHandle database, view;
  if (MsiOpenDatabaseW(package.c_str(), MSIDBOPEN_READONLY, database.Put()) != ERROR_SUCCESS ||
      MsiDatabaseOpenViewW(database.Get(), query.c_str(), view.Put()) != ERROR_SUCCESS ||
      MsiViewExecute(view.Get(), 0) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot query " << ::testing::PrintToString(package);
    return rows;
  }
  for (;;) {
    MsiHandle record;
    if (MsiViewFetch(view.Get(), record.Put()) != ERROR_SUCCESS)
      break;
    std::vector<std::wstring> row;
    for (UINT field = 1; field <= MsiRecordGetFieldCount(record.Get()); ++field) {
      wchar_t text[512] = {};
      DWORD length = 512;
      MsiRecordGetStringW(record.Get(), field, text, &length);
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

std::wstring PackageProperty(const std::wstring& package, const wchar_t* name) {
  const auto rows = PackageRows(package, L"SELECT `Value` FROM `Property` WHERE `Property` = '" +
                                             std::wstring(name) + L"'");
  return rows.empty() ? L"(missing)" : rows[0][0];
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

// The package's File table holds each installed file's version (which
// decides, by Windows Installer's file-versioning rules, whether an upgrade
// replaces an installed file): the version resource's, or none for a file
// without one. The module and the program carry the product's version.
void ExpectFileTableVersions(const std::wstring& package, const char* productVersion) {
  const auto rows = PackageRows(package, L"SELECT `FileName`, `Version`, `Language` FROM `File`");
  for (const auto& row : rows) {
    const std::wstring name = row[0].substr(row[0].find(L'|') + 1);
    SCOPED_TRACE(::testing::PrintToString(name));
    const std::wstring installed = FileVersion(Installed(name.c_str()));
    EXPECT_EQ(row[1], installed == L"(none)" ? L"" : installed);
    EXPECT_EQ(row[2], installed == L"(none)" ? L"" : L"1033");
  }
  EXPECT_GE(rows.size(), 2u);
  for (const wchar_t* file : {L"Vantelo.dll", L"vantelo.exe"})
    EXPECT_EQ(FileVersion(Installed(file)), ResourceVersion(productVersion))
        << ::testing::PrintToString(std::wstring(file));
}

TEST(InstalledPackage, InstallsFilesRegistryAndSettingsInTheFixedFolder) {
  // The script host registers its own type libraries when it first runs:
  // before the snapshot, so that they are no difference.
  std::string output;
  ASSERT_EQ(RunScript("WScript.Quit 0\r\n", &output), 0) << output;
  SaveSnapshot(WhereAPackageWrites());
  // The folder is fixed: these are taken and ignored.
  const ScratchDirectory elsewhere;
  ASSERT_EQ(Msiexec(L"/i " + Package() + L" /qn INSTALLDIR=" + Quoted(elsewhere.Path()) +
                    L" TARGETDIR=" + Quoted(elsewhere.Path())),
            0);

  for (const wchar_t* file :
       {L"Vantelo.dll", L"vantelo.exe", L"Vantelo.ini", L"Vantelo Settings.html"}) {
    EXPECT_TRUE(FileExists(Installed(file))) << ::testing::PrintToString(std::wstring(file));
    EXPECT_FALSE(FileExists(elsewhere.File(file))) << ::testing::PrintToString(std::wstring(file));
  }
  ExpectCompleteSettings(ReadFileBytes(Installed(L"Vantelo.ini")));
  EXPECT_EQ(ShortcutTarget(PageShortcut()), Installed(L"Vantelo Settings.html"));

  const RegistrySnapshot installed = NativeClassRegistrations();
  EXPECT_EQ(MachineText(ClassKey + L"\\InprocServer32"), Installed(L"Vantelo.dll"));
  EXPECT_EQ(MachineText(ProgIdKey + L"\\Clsid"), L"{2E642F2A-4D80-4C2B-8D82-DE8ED7FC948C}");
  // What makes the host load the add-in.
  EXPECT_EQ(MachineText(ClassKey + L"\\Settings", L"LoadOnStartUp"), L"1");
  for (const wchar_t* category : {L"\\Implemented Categories\\", L"\\Required Categories\\"})
    EXPECT_TRUE(MachineKeyExists(ClassKey + category + L"{39AD2B5C-7A29-11D6-8E0A-0010B541CAA8}"))
        << ::testing::PrintToString(std::wstring(category));
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{Wide(VANTELO_VERSION_TEXT)});

  // The package's registry is what the module registers itself: registering
  // the installed module again changes nothing (so the two cannot drift
  // apart, and uninstall removes what either wrote).
  {
    const LoadedModule module(Installed(L"Vantelo.dll"));
    EXPECT_OK(module.RegisterServer());
  }
  EXPECT_EQ(NativeClassRegistrations(), installed);
  // Nor does merging the host registration file of the same build: the
  // package makes Inventor load the add-in with the very same keys.
  EXPECT_EQ(RunProgram(L"regedit.exe /s " + Quoted(WindowsPath(VANTELO_HOST_REGISTRATION_FILE))),
            0);
  EXPECT_EQ(NativeClassRegistrations(), installed);
  // The copy in the 32-bit view is this test's doing, not the package's.
  RegDeleteTreeW(
      HKEY_LOCAL_MACHINE,
      L"Software\\Wow6432Node\\Classes\\Interface\\{18CD20BD-5A1C-46AB-8F97-B348C98C34C1}");
}

TEST(InstalledPackage, NamesItsPublisherLocationAndVersions) {
  const auto entries = ProductEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].publisher, Wide(VANTELO_PUBLISHER));
  // Programs and Features shows the folder as the installer resolved it,
  // with its final separator.
  EXPECT_EQ(entries[0].location, InstalledFolder() + L"\\");
  EXPECT_EQ(PackageProperty(WindowsPath(VANTELO_MSI), L"Manufacturer"), Wide(VANTELO_PUBLISHER));

  ExpectFileTableVersions(WindowsPath(VANTELO_MSI), VANTELO_VERSION_TEXT);
  for (const wchar_t* file : {L"Vantelo.dll", L"vantelo.exe"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(file)));
    EXPECT_EQ(FileVersion(Installed(file), L"CompanyName"), Wide(VANTELO_PUBLISHER));
    EXPECT_EQ(FileVersion(Installed(file), L"LegalCopyright"),
              L"Copyright (c) 2026 The Vantelo developers");
    EXPECT_EQ(FileVersion(Installed(file), L"FileVersion"), ResourceVersion(VANTELO_VERSION_TEXT));
  }
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

#ifdef VANTELO_OLDER_MSI
std::wstring OlderPackage() { return Quoted(WindowsPath(VANTELO_OLDER_MSI)); }

// A refused install changes nothing: the one entry and the installed files
// are those of `version`.
void ExpectRefused(int exitCode, const char* version) {
  EXPECT_EQ(exitCode, RefusedInstallExitCode);
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{Wide(version)});
  for (const wchar_t* file : {L"Vantelo.dll", L"vantelo.exe"})
    EXPECT_EQ(FileVersion(Installed(file)), ResourceVersion(version))
        << ::testing::PrintToString(std::wstring(file));
}

TEST(InstalledPackage, RefusesAnOlderVersion) {
  ExpectRefused(Msiexec(L"/i " + OlderPackage() + L" /qn"), VANTELO_VERSION_TEXT);
}
#endif

TEST(InstalledPackage, UninstallLeavesOnlyTheSettingsFile) {
  const RegistrySnapshot before = LoadSnapshot();
  ASSERT_FALSE(before.empty());
  const std::string settings = ReadFileBytes(Installed(L"Vantelo.ini"));
  ASSERT_EQ(Msiexec(L"/x " + Package() + L" /qn"), 0);

  EXPECT_FALSE(FileExists(Installed(L"Vantelo.dll")));
  EXPECT_FALSE(FileExists(Installed(L"vantelo.exe")));
  EXPECT_FALSE(FileExists(Installed(L"Vantelo Settings.html")));
  EXPECT_FALSE(FileExists(PageShortcut()));
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

// --- The company's settings file (SETTINGS=) ---

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return temp;
}

// msiexec with a verbose log; the log's text (ANSI).
int MsiexecLogged(const std::wstring& arguments, std::string* log) {
  const std::wstring file = TempFolder() + L"vantelo-install.log";
  DeleteFileW(file.c_str());
  const int code = Msiexec(arguments + L" /l*v " + Quoted(file));
  *log = ReadFileBytes(file);
  return code;
}

std::string Narrow(const std::wstring& text) { return vantelo::win::Utf8FromWide(text); }

void ExpectInLog(const std::string& log, const std::string& text) {
  EXPECT_NE(log.find(text), std::string::npos) << text << "\nnot in the log:\n"
                                               << log.substr(0, 20000);
}

void ExpectNothingInstalled() {
  EXPECT_TRUE(ProductEntries().empty());
  for (const wchar_t* file : {L"Vantelo.dll", L"vantelo.exe", L"Vantelo.ini"})
    EXPECT_FALSE(FileExists(Installed(file))) << ::testing::PrintToString(std::wstring(file));
  EXPECT_EQ(MachineText(ClassKey), L"(missing)");
}

// The company's file, two of its keys given, in a folder whose name the
// ANSI code page cannot hold, kept in the prefix from test to test.
const std::string TwoKeyCompanyFile = "[Global Options]\r\nEnableTimeStamp=True\r\n"
                                      "[Mass And Volume Options]\r\nMassPropertyName=Masse\r\n";

std::wstring CompanyFile() {
  const std::wstring folder = TempFolder() + L"Firmen-Einstellungen \u00dc \u2013 \u6771\u4eac";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring file = folder + L"\\Vantelo \u00e9quipe.ini";
  if (!FileExists(file))
    WriteBytes(file, TwoKeyCompanyFile);
  return file;
}

// A path that names no file anyone can reach.
const std::wstring UnreachableSettings = L"\\\\nowhere.invalid\\cad\\Vantelo.ini";

TEST(CompanySettings, RefusedFilesLeaveNothingInstalledAndTheReasonInTheLog) {
  const ScratchDirectory directory;
  // Bytes that are no text: the start of the package itself.
  const std::string noise = ReadFileBytes(WindowsPath(VANTELO_MSI)).substr(0, 3000);
  struct Case {
    std::string name;
    std::optional<std::string> contents; // written to Company.ini
    std::wstring settings;               // SETTINGS=
    std::string reason;                  // what the log says, after the path
  };
  const std::wstring company = directory.File(L"Company.ini");
  const std::vector<Case> cases = {
      {"empty", "", company, ": the file is empty"},
      {"binary bytes", noise, company, ": the file holds NUL bytes"},
      {"a save fails", "[Global Options]\r\nEnableTimeStamp=Maybe\r\n", company,
       ": every save would fail with this file: line 2: EnableTimeStamp: \"Maybe\" is not"},
      {"missing", std::nullopt, directory.File(L"Missing.ini"), ": the file does not exist"},
      {"relative", "[Global Options]\r\n", L"Company.ini", ": the path is not absolute"},
      // Passed as it is: the backslash before the closing quotation mark
      // does not escape it.
      {"a folder", std::nullopt, directory.Path() + L"\\", ": this is a folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW(company.c_str());
    if (c.contents)
      WriteBytes(company, *c.contents);
    std::string log;
    EXPECT_EQ(MsiexecLogged(L"/i " + Package() + L" /qn SETTINGS=" + Quoted(c.settings), &log),
              RefusedInstallExitCode);
    const std::string named = c.name == "relative" ? "SETTINGS=Company.ini" : Narrow(c.settings);
    ExpectInLog(log, "Vantelo's settings file cannot be laid down: " + named + c.reason);
    ExpectNothingInstalled();
  }
}

// An interactive install shows the installer's error messages in a dialog:
// here the installer's own interface is off and the messages come to the
// test, as they would to that dialog.
std::vector<std::wstring> shownErrors;

INT CALLBACK ShowMessage(LPVOID, UINT type, LPCWSTR message) {
  if ((type & 0xFF000000u) != INSTALLMESSAGE_ERROR || !message)
    return 0;
  shownErrors.push_back(message);
  return IDOK;
}

TEST(CompanySettings, AnInteractiveInstallShowsTheReason) {
  const ScratchDirectory directory;
  const std::wstring company = directory.File(L"Company.ini");
  WriteBytes(company, "[Global Options]\r\nEnableTimeStamp=Maybe\r\n");
  MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  MsiSetExternalUIW(ShowMessage, INSTALLLOGMODE_ERROR, nullptr);
  const UINT code = MsiInstallProductW(WindowsPath(VANTELO_MSI).c_str(),
                                       (L"SETTINGS=" + Quoted(company)).c_str());
  MsiSetExternalUIW(nullptr, 0, nullptr);
  EXPECT_EQ(code, static_cast<UINT>(RefusedInstallExitCode));
  ASSERT_EQ(shownErrors.size(), 1u);
  EXPECT_NE(shownErrors[0].find(L"Vantelo's settings file cannot be laid down: " + company +
                                L": every save would fail"),
            std::wstring::npos)
      << ::testing::PrintToString(shownErrors[0]);
  ExpectNothingInstalled();
}

// The test package fails right after the settings file is laid down: the
// rollback removes it with everything else, and the next install lays the
// company's file down.
TEST(CompanySettings, ARollbackRemovesTheFileThisInstallLaidDown) {
  std::string log;
  EXPECT_EQ(MsiexecLogged(L"/i " + Quoted(WindowsPath(VANTELO_FAILING_MSI)) + L" /qn SETTINGS=" +
                              Quoted(CompanyFile()),
                          &log),
            FailedProgramActionExitCode);
  ExpectInLog(log,
              "Vantelo: the settings file " + Narrow(Installed(L"Vantelo.ini")) + " is laid down");
  ExpectInLog(log, "that this install laid down is removed");
  ExpectNothingInstalled();
}

TEST(CompanySettings, TheCompanyFileIsLaidDownCompleted) {
  std::string log;
  ASSERT_EQ(MsiexecLogged(L"/i " + Package() + L" /qn SETTINGS=" + Quoted(CompanyFile()), &log), 0);
  const std::string settings = ReadFileBytes(Installed(L"Vantelo.ini"));
  // The company's values stay; every other key has its default.
  EXPECT_EQ(settings.rfind("[Global Options]\r\nEnableTimeStamp=True\r\n", 0), 0u) << settings;
  EXPECT_NE(settings.find("MassPropertyName=Masse\r\n"), std::string::npos) << settings;
  ExpectCompleteSettings(settings);
  ExpectInLog(log, "is a settings file; it is completed with the defaults of its missing keys");
}

TEST(CompanySettings, ARepairWithAnUnreachableSourceKeepsTheFile) {
  const std::string edited = ReadFileBytes(Installed(L"Vantelo.ini")) + "; edited\r\n";
  WriteBytes(Installed(L"Vantelo.ini"), edited);
  DeleteFileW(Installed(L"vantelo.exe").c_str());
  // A repair of every file. Wine's msiexec repairs nothing with /f (1605,
  // the product unknown, with a package as with a product code): the repair
  // is asked for with REINSTALL, as /fa does on Windows.
  std::string log;
  ASSERT_EQ(MsiexecLogged(L"/i " + Package() + L" /qn REINSTALL=ALL REINSTALLMODE=amus SETTINGS=" +
                              Quoted(UnreachableSettings),
                          &log),
            0);
  EXPECT_TRUE(FileExists(Installed(L"vantelo.exe")));
  EXPECT_EQ(ReadFileBytes(Installed(L"Vantelo.ini")), edited);
  ExpectInLog(log, "exists and is kept as it is; SETTINGS=" + Narrow(UnreachableSettings) +
                       " was not applied");
}

#ifdef VANTELO_OLDER_MSI
TEST(PackageUpgrade, ReplacesTheOlderFilesAndKeepsTheSettingsFile) {
  // The older version lays down the company's own file.
  ASSERT_EQ(Msiexec(L"/i " + OlderPackage() + L" /qn SETTINGS=" + Quoted(CompanyFile())), 0);
  const std::string company = ReadFileBytes(Installed(L"Vantelo.ini"));
  EXPECT_NE(company.find("EnableTimeStamp=True"), std::string::npos) << company;
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{Wide(VANTELO_OLDER_VERSION)});
  ExpectFileTableVersions(WindowsPath(VANTELO_OLDER_MSI), VANTELO_OLDER_VERSION);

  const std::string edited = company + "; edited\r\n";
  WriteBytes(Installed(L"Vantelo.ini"), edited);
  // The deployment's command line names a share that is down: the file is
  // there, so nothing is read.
  ASSERT_EQ(Msiexec(L"/i " + Package() + L" /qn SETTINGS=" + Quoted(UnreachableSettings)), 0);
  EXPECT_EQ(ReadFileBytes(Installed(L"Vantelo.ini")), edited);
  EXPECT_EQ(InstalledVersions(), std::vector<std::wstring>{Wide(VANTELO_VERSION_TEXT)});
  // The new files are in place, not the older ones, and registered.
  ExpectFileTableVersions(WindowsPath(VANTELO_MSI), VANTELO_VERSION_TEXT);
  EXPECT_EQ(MachineText(ClassKey + L"\\InprocServer32"), Installed(L"Vantelo.dll"));
  std::string output;
  EXPECT_EQ(RunProgram(Quoted(Installed(L"vantelo.exe")) + L" --version", &output), 0);
  EXPECT_EQ(output.substr(0, output.find_first_of("\r\n")),
            std::string("vantelo ") + VANTELO_VERSION_TEXT);
}

TEST(PackageUpgrade, ThenRefusesTheOlderVersion) {
  ExpectRefused(Msiexec(L"/i " + OlderPackage() + L" /qn"), VANTELO_VERSION_TEXT);
}

TEST(PackageUpgrade, ARebuildOfTheSameVersionReplacesTheInstalledOne) {
  const std::wstring rebuilt = WindowsPath(VANTELO_REBUILT_MSI);
  const std::wstring productCode = PackageProperty(rebuilt, L"ProductCode");
  ASSERT_NE(productCode, PackageProperty(WindowsPath(VANTELO_MSI), L"ProductCode"));
  ASSERT_EQ(PackageProperty(rebuilt, L"ProductVersion"), Wide(VANTELO_VERSION_TEXT));
  const std::string settings = ReadFileBytes(Installed(L"Vantelo.ini"));

  ASSERT_EQ(Msiexec(L"/i " + Quoted(rebuilt) + L" /qn"), 0);
  const auto entries = ProductEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].productCode, productCode);
  ExpectFileTableVersions(rebuilt, VANTELO_VERSION_TEXT);
  EXPECT_EQ(MachineText(ClassKey + L"\\InprocServer32"), Installed(L"Vantelo.dll"));

  // Nothing else holds the files: uninstalling the one entry removes them.
  ASSERT_EQ(Msiexec(L"/x " + Quoted(rebuilt) + L" /qn"), 0);
  EXPECT_TRUE(ProductEntries().empty());
  EXPECT_FALSE(FileExists(Installed(L"Vantelo.dll")));
  EXPECT_FALSE(FileExists(Installed(L"vantelo.exe")));
  EXPECT_EQ(MachineText(ClassKey), L"(missing)");
  EXPECT_EQ(ReadFileBytes(Installed(L"Vantelo.ini")), settings);
}
#endif

} // namespace

} // namespace vtest
