// The settings file lies next to the module, and the settings file functions
// take its path in the ANSI code page. A module whose path has characters
// outside that page reaches its file by the short (8.3) form that Windows
// gives, and refuses to start where there is none, instead of running every
// save on the defaults.
#include "com/idl/Vantelo_h.h"
#include "com/idl/inventor_standin_h.h"
#include "com_host/world.h"
#include "simhost/host.h"
#include "test_support.h"

#include <oleauto.h>

#include <string>

namespace vtest {

namespace {

namespace sim = vantelo::sim;

struct Location {
  const char* what;
  std::wstring directorySuffix;
  std::wstring moduleBaseName;
  bool settingsFileBefore; // one that enables the time stamp
  HRESULT activation;
};

TEST(ModuleLocation, OutsideTheAnsiCodePageTheShortFormIsUsedOrActivationFails) {
  // Greek omega and a snowman: not in the code page.
  const std::wstring foreign = L"\u03A9\u2603";
  char bytes[8] = {};
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, 0, foreign.c_str(), 2, bytes, sizeof bytes, nullptr, &lost);
  ASSERT_TRUE(lost) << "the system's ANSI code page " << GetACP() << " holds the test's text";

  const Location locations[] = {
      {"in the directory, no settings file yet", L"-" + foreign, L"Vantelo", false, S_OK},
      {"in the directory, a settings file", L"-" + foreign, L"Vantelo", true, S_OK},
      {"in the module's name, a settings file", L"", L"Vantelo" + foreign, true, S_OK},
      {"in the module's name, no settings file", L"", L"Vantelo" + foreign, false,
       HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION)},
  };
  for (const Location& location : locations) {
    SCOPED_TRACE(location.what);
    ScratchDirectory directory(location.directorySuffix);
    const std::wstring settings = directory.File(location.moduleBaseName + L".ini");
    if (location.settingsFileBefore) {
      HANDLE file =
          CreateFileW(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      const char text[] = "[Global Options]\r\nEnableTimeStamp=True\r\n";
      DWORD written = 0;
      WriteFile(file, text, sizeof text - 1, &written, nullptr);
      CloseHandle(file);
    }
    const std::wstring modulePath = directory.File(location.moduleBaseName + L".dll");
    ASSERT_TRUE(CopyFileW(ModulePath().c_str(), modulePath.c_str(), FALSE));
    LoadedModule module(modulePath);
    {
      sim::Host host;
      const auto world = comhost::World::Create(host);
      ComPtr<IClassFactory> factory;
      ASSERT_OK(module.GetClassObject(CLSID_clsVantelo, IID_IClassFactory, factory.PutVoid()));
      ComPtr<ApplicationAddInServer> server;
      ASSERT_OK(factory->CreateInstance(nullptr, IID_ApplicationAddInServer, server.PutVoid()));
      SetErrorInfo(0, nullptr);
      const HRESULT activated = server->Activate(world->AddInSite().Get(), VARIANT_TRUE);
      EXPECT_HR(activated, location.activation);
      if (FAILED(activated)) {
        // Before any host call; the error names the file and the problem.
        EXPECT_EQ(host.OperationCount(), 0u);
        ComPtr<IErrorInfo> info;
        ASSERT_OK(GetErrorInfo(0, info.Put()));
        Bstr description;
        info->GetDescription(description.Put());
        const std::wstring text(description.Get(), description.Length());
        EXPECT_NE(text.find(location.moduleBaseName + L".ini"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"ANSI code page"), std::wstring::npos) << text;
      } else {
        auto& part = host.AddDocument({.name = "Plain.ipt",
                                       .type = vantelo::document_type::Part,
                                       .subType = vantelo::subtype::Part});
        host.SetActiveDocument(&part);
        EXPECT_TRUE(host.FireSaveDocument(&part, vantelo::event_timing::Before, 0).succeeded);
        // The save read the file next to the module, and wrote the missing
        // keys into it.
        EXPECT_EQ(part.Property(vantelo::fmtid::UserDefined, "SaveTime") != nullptr,
                  location.settingsFileBefore);
        EXPECT_NE(ReadFileBytes(settings).find("SaveDatePropertyName=SaveDate"), std::string::npos);
      }
    }
    EXPECT_OK(module.CanUnloadNow());
  }
}

} // namespace

} // namespace vtest
