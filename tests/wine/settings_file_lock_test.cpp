// The settings file on Windows: the lock every reader and writer takes
// (one byte at 2^62, through a handle that reads only and shares
// everything), the profile functions working while it is held, and the
// whole-file writes of the settings tools (ReplaceFileW, or in place),
// with the system's own error texts.
#include "platform/utf8_path.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "profile/portable_profile_file.h"
#include "profile/profile_lock.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"
#include "test_support.h"

#include <chrono>
#include <string>

namespace vtest {

namespace {

using namespace std::chrono_literals;
using vantelo::LockMode;
using vantelo::MakeNativeProfileFileSystem;
using vantelo::PortableProfileFile;
using vantelo::ProfileDocument;
using vantelo::ProfileLocks;

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The lock as another program (the installer's action, say) takes it.
class ForeignLock {
public:
  ForeignLock(const std::wstring& path, bool exclusive)
      : file_(CreateFileW(path.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, 0, nullptr)) {
    OVERLAPPED at{};
    at.OffsetHigh = 0x40000000;
    locked_ =
        LockFileEx(file_, LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0), 0,
                   1, 0, &at) != FALSE;
  }
  ~ForeignLock() {
    OVERLAPPED at{};
    at.OffsetHigh = 0x40000000;
    UnlockFileEx(file_, 0, 1, 0, &at);
    CloseHandle(file_);
  }
  ForeignLock(const ForeignLock&) = delete;
  ForeignLock& operator=(const ForeignLock&) = delete;
  bool Locked() const { return locked_; }

private:
  HANDLE file_;
  bool locked_ = false;
};

std::uint32_t AttributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

// While the lock is held for writing, the profile functions still open,
// read and write the file, also one the lock had to create; another program
// gets no lock.
TEST(WindowsSettingsLock, TheProfileFunctionsWorkWhileItIsHeld) {
  ScratchDirectory scratch;
  for (const bool existed : {false, true}) {
    const std::wstring file = scratch.File(existed ? L"old.ini" : L"new.ini");
    if (existed)
      WriteFileBytes(file, "[S]\r\nK=1\r\n");
    ProfileLocks own(MakeNativeProfileFileSystem(), 0ms);
    const auto hold = own.Acquire(file, LockMode::Exclusive);
    ASSERT_TRUE(hold->Granted()) << hold->Problem();
    EXPECT_FALSE(ForeignLock(file, false).Locked());
    const std::string ansi = vantelo::win::AnsiFromWide(file);
    EXPECT_TRUE(WritePrivateProfileStringA("S", "K", "2", ansi.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "L", "3", ansi.c_str()));
    char buffer[16] = {};
    EXPECT_EQ(GetPrivateProfileStringA("S", "K", "", buffer, 16, ansi.c_str()), 1u);
    EXPECT_STREQ(buffer, "2");
    EXPECT_EQ(ReadFileBytes(file), "[S]\r\nK=2\r\nL=3\r\n");
  }
}

// A whole-file write replaces the file through ReplaceFileW, from a
// temporary file in the same folder given the old file's attributes; the
// security descriptor and the streams rest on ReplaceFileW alone (Wine shows
// neither). A file with two names is written in place under both.
TEST(WindowsSettingsReplace, KeepsAttributesAndHardLinks) {
  ScratchDirectory scratch;
  const std::wstring file = scratch.File(L"s.ini"), other = scratch.File(L"t.ini");
  WriteFileBytes(file, "[S]\r\nK=1\r\n");
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const std::uint64_t before = vantelo::test::FileIdOf(vantelo::Utf8FromPath(file));
  PortableProfileFile profile(vantelo::test::Windows1252());
  const auto store = [](const char* value) {
    return [value](ProfileDocument& document) { return document.Store("S", "K", value); };
  };

  ASSERT_TRUE(profile.Update(file, store("2"))) << profile.Problem();
  EXPECT_EQ(ReadFileBytes(file), "[S]\r\nK=2\r\n");
  EXPECT_NE(vantelo::test::FileIdOf(vantelo::Utf8FromPath(file)), before) << "replaced";
  EXPECT_EQ(AttributesOf(file), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});

  ASSERT_TRUE(CreateHardLinkW(other.c_str(), file.c_str(), nullptr));
  const std::uint64_t linked = vantelo::test::FileIdOf(vantelo::Utf8FromPath(file));
  ASSERT_TRUE(profile.Update(other, store("3"))) << profile.Problem();
  EXPECT_EQ(ReadFileBytes(file), "[S]\r\nK=3\r\n");
  EXPECT_EQ(ReadFileBytes(other), "[S]\r\nK=3\r\n");
  EXPECT_EQ(vantelo::test::FileIdOf(vantelo::Utf8FromPath(file)), linked) << "in place";
}

// A failure is told in the system's own words, with the file's name: a
// file another program opened without sharing is in use, not "Permission
// denied". The file stays as it was.
TEST(WindowsSettingsReplace, FailuresNameTheFileInTheSystemsWords) {
  ScratchDirectory scratch;
  const std::wstring file = scratch.File(L"s.ini");
  WriteFileBytes(file, "[S]\r\nK=1\r\n");
  HANDLE exclusive = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  PortableProfileFile profile(vantelo::test::Windows1252());
  EXPECT_FALSE(profile.Update(
      file, [](ProfileDocument& document) { return document.Store("S", "K", "2"); }));
  CloseHandle(exclusive);
  EXPECT_NE(profile.Problem().find(vantelo::Utf8FromPath(file)), std::string::npos)
      << profile.Problem();
  EXPECT_NE(profile.Problem().find(vantelo::win::SystemMessage(ERROR_SHARING_VIOLATION)),
            std::string::npos)
      << profile.Problem();
  EXPECT_EQ(ReadFileBytes(file), "[S]\r\nK=1\r\n");
}

} // namespace

} // namespace vtest
