// The settings file through the system's profile functions, in their ANSI
// forms (the texts arrive already in the ANSI code page), under the
// settings file's lock (profile/profile_lock.h), which every call takes or
// finds already held by its caller.
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"
#include "profile/profile_lock.h"
#include "profile/profile_text.h"

#include <windows.h>

#include <algorithm>

namespace vantelo::win {

namespace {

// The file the profile functions read and write: a name without a folder
// lies in the Windows directory; any other path is taken from the current
// directory, as GetFullPathName does. The path passes the ANSI code page
// exactly as the A-functions convert it.
ProfileFileSystem::Path FileOf(const std::string& file) {
  const std::wstring path = WideFromAnsi(profile_text::CallerText(file));
  if (path.find_first_of(L"\\/") != std::wstring::npos)
    return path;
  wchar_t windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return path;
  return ProfileFileSystem::Path(std::wstring(windows, length)) / path;
}

class WindowsProfileFile final : public ProfileFile {
public:
  std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) override {
    return locks_.Acquire(FileOf(file), mode);
  }

  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override {
    if (buffer.empty())
      return 0;
    std::unique_ptr<ProfileLocks::Hold> hold;
    try {
      hold = locks_.Acquire(FileOf(file), LockMode::Shared);
    } catch (...) {
      // Out of memory: read unlocked, as when the lock cannot be had.
    }
    const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    return GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                    buffer.data(), size, file.c_str());
  }

  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override {
    // The error is kept across the hold's release, for callers that ask
    // GetLastError why the write failed.
    DWORD error = ERROR_SUCCESS;
    bool written = false;
    try {
      const auto hold = locks_.Acquire(FileOf(file), LockMode::Exclusive);
      if (!hold->Granted()) {
        error = ERROR_LOCK_VIOLATION; // kept by another program: not written
      } else {
        written = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                             file.c_str()) != FALSE;
        error = GetLastError();
      }
    } catch (...) {
      error = ERROR_NOT_ENOUGH_MEMORY;
    }
    SetLastError(error);
    return written;
  }

private:
  ProfileLocks locks_{MakeNativeProfileFileSystem()};
};

} // namespace

std::shared_ptr<ProfileFile> MakeProfileFile() { return std::make_shared<WindowsProfileFile>(); }

} // namespace vantelo::win
