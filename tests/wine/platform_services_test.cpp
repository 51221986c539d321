// The Windows platform services on their own: the module's path from its
// own handle, the ANSI code page without best-fit substitution, the profile
// functions' buffer limit, and the message pump that leaves a quit request
// for the host and does not spin for ever.
#include "platform/windows/windows_services.h"
#include "test_support.h"

#include <string>

namespace vtest {

namespace {

TEST(PlatformServices, ModulePathIsTheProgramsOwn) {
  // In this program the module is the program itself.
  wchar_t own[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH * 2);
  std::wstring path = own;
  const std::wstring directory = path.substr(0, path.find_last_of(L'\\'));
  char expected[MAX_PATH * 4] = {};
  WideCharToMultiByte(CP_UTF8, 0, directory.c_str(), -1, expected, sizeof expected, nullptr,
                      nullptr);
  auto service = vantelo::win::MakeModulePath();
  EXPECT_EQ(service->Directory(), std::string(expected));
  EXPECT_EQ(service->BaseName(), std::string("vantelo_com_tests"));
}

TEST(PlatformServices, AnsiCodePageHasNoBestFit) {
  auto codePage = vantelo::win::MakeAnsiCodePage();
  // Plain ASCII passes unchanged both ways.
  EXPECT_EQ(codePage->FromUtf8("Global Options"), std::string("Global Options"));
  EXPECT_EQ(codePage->ToUtf8("Global Options"), std::string("Global Options"));
  if (GetACP() != 1252)
    GTEST_SKIP() << "the system's ANSI code page is " << GetACP() << ", not 1252";
  const struct {
    const char* utf8;
    const char* ansi;
  } cases[] = {
      {"Gr\xC3\xBC\xC3\x9F"
       "e",
       "Gr\xFC\xDF"
       "e"},                    // in the code page
      {"\xE2\x82\xAC", "\x80"}, // the euro sign
      {"\xCE\xA9", "?"},        // Greek capital omega: not in it
      {"a\xEF\xBC\x8F"
       "b",
       "a?b"},               // full-width solidus: no best fit to '/'
      {"\xEF\xBC\xA1", "?"}, // full-width A: no best fit to 'A'
  };
  for (const auto& test : cases)
    EXPECT_EQ(codePage->FromUtf8(test.utf8), std::string(test.ansi));
  EXPECT_EQ(codePage->ToUtf8("Gr\xFC\xDF"
                             "e \x80"),
            std::string("Gr\xC3\xBC\xC3\x9F"
                        "e \xE2\x82\xAC"));
}

TEST(PlatformServices, ProfileFunctionsCutToTheBuffer) {
  ScratchDirectory scratch;
  char path[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, scratch.File(L"limit.ini").c_str(), -1, path, sizeof path, nullptr,
                      nullptr);
  auto profile = vantelo::win::MakeProfileFile();
  EXPECT_TRUE(profile->WriteString("S", "K", std::string(300, 'v'), path));
  char buffer[255];
  EXPECT_EQ(profile->GetString("S", "K", "", buffer, path), 254u);
  EXPECT_EQ(std::string(buffer), std::string(254, 'v'));
  EXPECT_EQ(profile->GetString("S", "Missing", "fallback", buffer, path), 8u);
  EXPECT_EQ(std::string(buffer), std::string("fallback"));
  EXPECT_TRUE(!profile->WriteString("S", "K", "v", std::string(path) + "\\no\\such\\dir.ini"));
}

LRESULT CALLBACK CountingWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    auto* count = reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    ++*count;
    // A window that keeps posting to itself.
    if (wParam == 1)
      PostMessageW(window, WM_APP, 1, 0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(PlatformServices, MessagePumpLeavesTheQuitRequestAndStops) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = CountingWindow;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VanteloPumpTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"VanteloPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  int count = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
  auto pump = vantelo::win::MakeMessagePump();

  for (int i = 0; i < 3; ++i)
    PostMessageW(window, WM_APP, 0, 0);
  pump->ProcessWaitingMessages();
  EXPECT_EQ(count, 3);

  // A quit request stays for the host's own loop.
  PostQuitMessage(7);
  pump->ProcessWaitingMessages();
  MSG message = {};
  EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, static_cast<WPARAM>(7));

  // A window that keeps posting to itself does not hold the pump for ever.
  count = 0;
  PostMessageW(window, WM_APP, 1, 0);
  pump->ProcessWaitingMessages();
  EXPECT_TRUE(count > 0);
  DestroyWindow(window);
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  UnregisterClassW(L"VanteloPumpTest", windowClass.hInstance);
}

} // namespace

} // namespace vtest
