// The settings file tools' file system on Windows: the steps of
// PortableProfileFile over the Win32 file functions.
//
// Handles are C run-time descriptors over Win32 handles. Readers and writers
// coordinate through a lock on one byte far past the end of any settings
// file: Windows' byte-range locks are mandatory, so a lock on the contents
// would make the add-in's own profile reads fail while a tool writes. The
// identity of a file (its security descriptor, its streams) is not copied to
// a new file, so an existing file is always changed in place, which keeps
// all of it.
#include "platform/profile_file_system.h"
#include "platform/windows/wide_text.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace vantelo {

namespace {

// Where the coordinating lock lies: past the end of any settings file.
constexpr DWORD kLockOffsetHigh = 0x40000000;

int ErrnoOf(DWORD error) {
  switch (error) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_INVALID_DRIVE:
  case ERROR_BAD_NETPATH:
  case ERROR_BAD_NET_NAME:
    return ENOENT;
  case ERROR_ACCESS_DENIED:
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
  case ERROR_WRITE_PROTECT:
    return EACCES;
  case ERROR_FILE_EXISTS:
  case ERROR_ALREADY_EXISTS:
    return EEXIST;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    return ENOSPC;
  case ERROR_FILENAME_EXCED_RANGE:
    return ENAMETOOLONG;
  case ERROR_NOT_ENOUGH_MEMORY:
  case ERROR_OUTOFMEMORY:
    return ENOMEM;
  case ERROR_INVALID_FUNCTION:
  case ERROR_NOT_SUPPORTED:
    return EOPNOTSUPP;
  case ERROR_INVALID_NAME:
  case ERROR_DIRECTORY:
    return EINVAL;
  default:
    return EIO;
  }
}

// Sets errno from the last Win32 error; returns false for convenience.
bool Failed() {
  errno = ErrnoOf(GetLastError());
  return false;
}

std::wstring Wide(const std::string& path) { return win::WideFromUtf8(path); }

HANDLE Os(int handle) { return reinterpret_cast<HANDLE>(_get_osfhandle(handle)); }

// A descriptor that owns the handle from now on; -1 (and the handle closed)
// when none can be had.
int Descriptor(HANDLE file) {
  const int handle = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
  if (handle < 0) {
    CloseHandle(file);
    errno = EMFILE;
  }
  return handle;
}

bool LockCoordination(HANDLE file, bool exclusive) {
  OVERLAPPED where{};
  where.OffsetHigh = kLockOffsetHigh;
  return LockFileEx(file, exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, 1, 0, &where) || Failed();
}

ProfileFileSystem::ReadResult ReadAll(HANDLE file, std::string& contents) {
  contents.clear();
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
    Failed();
    return ProfileFileSystem::ReadResult::Failed;
  }
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      Failed();
      return ProfileFileSystem::ReadResult::Failed;
    }
    if (got == 0)
      return ProfileFileSystem::ReadResult::Ok;
    contents.append(buffer, got);
  }
}

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION x{}, y{};
  return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

// "<target>.vantelo-" then 16 hexadecimal digits and ".tmp".
std::string TempPrefix(const std::string& target) { return target + ".vantelo-"; }
constexpr const char* kTempEnd = ".tmp";

std::string RandomSuffix() {
  std::random_device device;
  const std::uint64_t value = static_cast<std::uint64_t>(device()) << 32 | device();
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

using ReadResult = ProfileFileSystem::ReadResult;

// Opens an existing file with the access given, sharing everything:
// Missing when there is no such file.
ReadResult OpenExisting(const std::string& path, DWORD access, HANDLE& file) {
  file = CreateFileW(Wide(path).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE)
    return ReadResult::Ok;
  if (IsMissing(GetLastError()))
    return ReadResult::Missing;
  Failed();
  return ReadResult::Failed;
}

class WindowsProfileFileSystem final : public ProfileFileSystem {
public:
  ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      if (IsMissing(GetLastError()))
        return ReadResult::Missing;
      Failed();
      return ReadResult::Failed;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      errno = EISDIR;
      return ReadResult::Failed;
    }
    HANDLE file;
    if (const ReadResult opened = OpenExisting(path, GENERIC_READ, file); opened != ReadResult::Ok)
      return opened;
    const int handle = Descriptor(file);
    if (handle < 0)
      return ReadResult::Failed;
    const ReadResult result =
        LockCoordination(file, false) ? ReadAll(file, contents) : ReadResult::Failed;
    _close(handle);
    return result;
  }

  bool ResolveTarget(const std::string& path, std::string& target) override {
    target = path;
    return true;
  }

  ReadResult OpenLocked(const std::string& path, int& handle) override {
    for (int attempt = 0; attempt < 100; ++attempt) {
      HANDLE file;
      if (const ReadResult opened = OpenExisting(path, GENERIC_READ | GENERIC_WRITE, file);
          opened != ReadResult::Ok)
        return opened;
      handle = Descriptor(file);
      if (handle < 0)
        return ReadResult::Failed;
      if (!LockCoordination(file, true)) {
        _close(handle);
        return ReadResult::Failed;
      }
      // Another writer may have replaced the file before the lock was had.
      HANDLE now = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      const bool same = now != INVALID_HANDLE_VALUE && SameFile(file, now);
      if (now != INVALID_HANDLE_VALUE)
        CloseHandle(now);
      if (same)
        return ReadResult::Ok;
      _close(handle);
    }
    errno = EAGAIN;
    return ReadResult::Failed;
  }

  bool Inspect(int handle, FileFacts& facts) override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(Os(handle), &info))
      return Failed();
    facts.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    facts.writeBits = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    facts.links = info.nNumberOfLinks;
    return true;
  }

  ReadResult ReadOpen(int handle, std::string& contents) override {
    return ReadAll(Os(handle), contents);
  }

  bool CreateTemp(const std::string& target, TempFile& temp) override {
    temp = TempFile{};
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = TempPrefix(target) + RandomSuffix() + kTempEnd;
      // Not shared for deletion: a write's stale-file clean-up cannot remove
      // a temporary file that another write still has open.
      HANDLE file = CreateFileW(Wide(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_EXISTS)
          continue;
        return Failed();
      }
      temp.handle = Descriptor(file);
      if (temp.handle < 0)
        return false;
      temp.path = std::move(name);
      return true;
    }
    errno = EEXIST;
    return false;
  }

  bool CopyIdentity(int, const TempFile&) override {
    errno = EOPNOTSUPP;
    return false;
  }

  bool NameTemp(const std::string&, TempFile&) override { return true; }

  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override {
    DWORD written = 0;
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (!WriteFile(Os(handle), data, chunk, &written, nullptr)) {
      Failed();
      return -1;
    }
    return static_cast<std::ptrdiff_t>(written);
  }

  bool Seek(int handle, std::uint64_t offset) override {
    LARGE_INTEGER where{};
    where.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(Os(handle), where, nullptr, FILE_BEGIN) || Failed();
  }

  bool Reserve(int handle, std::uint64_t size) override {
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (SetFileInformationByHandle(Os(handle), FileAllocationInfo, &allocation, sizeof allocation))
      return true;
    // Only a full disk is an answer; a file system (or Wine) that cannot
    // reserve space leaves it to the writes, whose failure is handled too.
    const DWORD error = GetLastError();
    return (error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL) || Failed();
  }

  bool Truncate(int handle, std::uint64_t size) override {
    return Seek(handle, size) && (SetEndOfFile(Os(handle)) || Failed());
  }

  bool Flush(int handle) override { return FlushFileBuffers(Os(handle)) || Failed(); }

  bool Close(int handle) override { return _close(handle) == 0; }

  bool Rename(const std::string& from, const std::string& to) override {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
           Failed();
  }

  bool Link(const std::string& from, const std::string& to) override {
    return CreateHardLinkW(Wide(to).c_str(), Wide(from).c_str(), nullptr) || Failed();
  }

  bool Remove(const std::string& path) override {
    return DeleteFileW(Wide(path).c_str()) || Failed();
  }

  void RemoveStaleTemps(const std::string& target) override {
    const std::string prefix = TempPrefix(target);
    const std::wstring pattern = Wide(prefix + "*" + kTempEnd);
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      return;
    const auto slash = target.find_last_of("/\\");
    const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    do {
      // A temporary file still open in another write cannot be deleted.
      DeleteFileW(Wide(directory + win::Utf8FromWide(found.cFileName)).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
};

} // namespace

std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem() {
  return std::make_shared<WindowsProfileFileSystem>();
}

} // namespace vantelo
