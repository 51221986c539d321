// The settings file's place checked through the Win32 file functions. A
// check opens what it checks and closes it again; nothing is written.
#include "cli/settings_location.h"

#include "cli/usage_error.h"
#include "platform/utf8_path.h"
#include "platform/windows/system_message.h"
#include "platform/windows/wide_text.h"
#include "profile/profile_file_system.h"

#include <windows.h>

#include <optional>

namespace vantelo::cli {

namespace {

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The file's attributes; nothing when it does not exist (a missing directory
// on the way counts as missing). Throws UsageError for any other reason.
std::optional<DWORD> Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win::WideFromUtf8(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES)
    return attributes;
  const DWORD error = GetLastError();
  if (IsMissing(error))
    return std::nullopt;
  throw UsageError(path + ": the settings file cannot be reached (" + win::SystemMessage(error) +
                   ")");
}

// Opens the existing file with the access and closes it; the reason why
// not, or empty.
std::string OpenProblem(const std::string& path, DWORD access) {
  HANDLE file = CreateFileW(win::WideFromUtf8(path).c_str(), access,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return win::SystemMessage(GetLastError());
  CloseHandle(file);
  return {};
}

void RequireDirectory(const std::string& directory, const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win::WideFromUtf8(directory).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    throw UsageError(path + ": the directory " + directory +
                     (IsMissing(error) ? std::string(" does not exist")
                                       : " cannot be reached (" + win::SystemMessage(error) + ")"));
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    throw UsageError(path + ": " + directory + " is not a directory");
}

} // namespace

void RequireWritable(const std::string& path) {
  if (const auto attributes = Attributes(path)) {
    if (*attributes & FILE_ATTRIBUTE_DIRECTORY)
      throw UsageError(path + ": the settings file is not a regular file");
    if (*attributes & FILE_ATTRIBUTE_READONLY)
      throw UsageError(path + ": the settings file cannot be written (it is read-only)");
    if (const std::string problem = OpenProblem(path, GENERIC_READ | GENERIC_WRITE);
        !problem.empty())
      throw UsageError(path + ": the settings file cannot be written (" + problem + ")");
    return;
  }
  const std::string directory = DirectoryOf(path);
  RequireDirectory(directory, path);
  // A file of a new name, created and at once deleted again, shows whether
  // the directory lets us create the settings file. The name is a temporary
  // one of the file's, which fits the limits whatever the file's length.
  const std::wstring probe = TemporaryFileName(PathFromUtf8(path)).wstring();
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw UsageError(path + ": the settings file cannot be created in " + directory + " (" +
                     win::SystemMessage(GetLastError()) + ")");
  CloseHandle(file);
}

void RequireReadable(const std::string& path) {
  const auto attributes = Attributes(path);
  if (!attributes)
    return;
  if (*attributes & FILE_ATTRIBUTE_DIRECTORY)
    throw UsageError(path + ": the settings file is not a regular file");
  if (const std::string problem = OpenProblem(path, GENERIC_READ); !problem.empty())
    throw UsageError(path + ": the settings file cannot be read (" + problem + ")");
}

void RequireReachable(const std::string& path) {
  RequireReadable(path);
  if (!Attributes(path))
    RequireDirectory(DirectoryOf(path), path);
}

} // namespace vantelo::cli
