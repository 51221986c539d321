// The settings file's file system on Windows, through the wide Win32 file
// functions: byte-range locks (LockFileEx) for the lock, ReplaceFileW for a
// replacement, and the system's own texts (FormatMessageW) for failures.
//
// The lock is held through a handle with read access only that shares
// everything: the profile functions must still open, read and write the
// file while it is held, also when they open it for writing sharing only
// reading. Writes in place go through a second handle, opened when needed.
#include "profile/profile_file_system.h"
#include "platform/windows/system_message.h"

#include <windows.h>

#include <algorithm>

namespace vantelo {

namespace {

using Path = ProfileFileSystem::Path;

// The locked byte, 2^62: far past the end of any settings file, and the
// byte the POSIX side locks, so both meet on a file served by Samba.
constexpr DWORD kLockOffsetHigh = 0x40000000;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileError::Kind KindOf(DWORD error) {
  switch (error) {
  case ERROR_FILE_NOT_FOUND:
  case ERROR_PATH_NOT_FOUND:
  case ERROR_INVALID_DRIVE:
  case ERROR_BAD_NETPATH:
  case ERROR_BAD_NET_NAME:
    return FileError::Kind::Missing;
  case ERROR_ACCESS_DENIED:
  case ERROR_WRITE_PROTECT:
  case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    return FileError::Kind::AccessDenied;
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
  case ERROR_UNABLE_TO_REMOVE_REPLACED:
    return FileError::Kind::Busy;
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    return FileError::Kind::NoSpace;
  case ERROR_NOT_SAME_DEVICE:
    return FileError::Kind::CrossDevice;
  case ERROR_NOT_SUPPORTED:
  case ERROR_INVALID_FUNCTION:
    return FileError::Kind::NotSupported;
  default:
    return FileError::Kind::Other;
  }
}

[[noreturn]] void Throw(DWORD error) { throw FileError(KindOf(error), win::SystemMessage(error)); }
[[noreturn]] void ThrowLast() { Throw(GetLastError()); }

class WindowsFile final : public ProfileFileSystem::File {
public:
  WindowsFile(HANDLE opened, Path name) : handle(opened), path(std::move(name)) {}
  ~WindowsFile() override {
    if (writer != INVALID_HANDLE_VALUE)
      CloseHandle(writer);
    if (temporary && handle != INVALID_HANDLE_VALUE) {
      FILE_DISPOSITION_INFO dispose{TRUE};
      SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose);
    }
    if (handle != INVALID_HANDLE_VALUE)
      CloseHandle(handle);
    else if (temporary)
      DeleteFileW(path.c_str()); // closed by a replacement that then failed
  }
  WindowsFile(const WindowsFile&) = delete;
  WindowsFile& operator=(const WindowsFile&) = delete;

  HANDLE handle;                        // the lock's handle, or a temporary file's only one
  HANDLE writer = INVALID_HANDLE_VALUE; // for writes in place
  Path path;
  bool temporary = false;
};

WindowsFile& Of(ProfileFileSystem::File& file) { return static_cast<WindowsFile&>(file); }

BY_HANDLE_FILE_INFORMATION InformationOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info))
    ThrowLast();
  return info;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// The file at path, for the lock: read access, everything shared.
HANDLE OpenForLock(const Path& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The handle writes in place go through, opened on the first one.
HANDLE Writer(WindowsFile& file) {
  if (file.temporary)
    return file.handle;
  if (file.writer == INVALID_HANDLE_VALUE) {
    HANDLE writer = CreateFileW(file.path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE)
      ThrowLast();
    if (!SameFile(InformationOf(writer), InformationOf(file.handle))) {
      CloseHandle(writer);
      throw FileError(FileError::Kind::Other, "the file was replaced by another program");
    }
    file.writer = writer;
  }
  return file.writer;
}

// Calls visit with each file of the folder that has a temporary name of the
// file at path (orCut: cut names too).
template <class Visit> void ForEachTemporaryFile(const Path& path, bool orCut, Visit visit) {
  const Path folder = path.parent_path();
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileExW((folder / L".*.tmp").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    if (IsTemporaryFileNameOf(path, Path(found.cFileName), orCut))
      visit(folder / found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED where{};
  where.Offset = static_cast<DWORD>(offset);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return where;
}

class WindowsProfileFileSystem final : public ProfileFileSystem {
public:
  std::unique_ptr<File> Open(const Path& path, LockMode) override {
    HANDLE handle = OpenForLock(path, OPEN_EXISTING);
    if (handle != INVALID_HANDLE_VALUE)
      return std::make_unique<WindowsFile>(handle, path);
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      return nullptr;
    Throw(error);
  }

  std::unique_ptr<File> CreateNew(const Path& path) override {
    HANDLE handle = OpenForLock(path, CREATE_NEW);
    if (handle != INVALID_HANDLE_VALUE)
      return std::make_unique<WindowsFile>(handle, path);
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
      return nullptr;
    Throw(error);
  }

  LockResult TryLock(File& file, LockMode mode) override {
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(Of(file).handle, flags, 0, 1, 0, &where))
      return LockResult::Locked;
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
      return LockResult::Busy;
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
      return LockResult::Unsupported; // a redirector without byte-range locks
    Throw(error);
  }

  void Unlock(File& file) override {
    OVERLAPPED where{};
    where.OffsetHigh = kLockOffsetHigh;
    if (!UnlockFileEx(Of(file).handle, 0, 1, 0, &where))
      ThrowLast();
  }

  bool StillNamed(File& file) override {
    const WindowsFile& f = Of(file);
    // Attributes only: no access to the data, so no sharing conflicts.
    HANDLE named = CreateFileW(f.path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE)
      return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool same =
        GetFileInformationByHandle(named, &info) && SameFile(info, InformationOf(f.handle));
    CloseHandle(named);
    return same;
  }

  void Remove(File& file) override {
    if (!DeleteFileW(Of(file).path.c_str()))
      ThrowLast();
  }

  bool BeingReplaced(const Path& path) override {
    // The old file under a temporary name of the file's, its lock still
    // held: a replacement is under way.
    bool replacing = false;
    ForEachTemporaryFile(path, true, [&](const Path& temp) {
      HANDLE old = OpenForLock(temp, OPEN_EXISTING);
      if (old == INVALID_HANDLE_VALUE)
        return;
      OVERLAPPED where{};
      where.OffsetHigh = kLockOffsetHigh;
      if (LockFileEx(old, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where))
        UnlockFileEx(old, 0, 1, 0, &where);
      else
        replacing = replacing || GetLastError() == ERROR_LOCK_VIOLATION;
      CloseHandle(old);
    });
    return replacing;
  }

  Facts Inspect(File& file) override {
    const BY_HANDLE_FILE_INFORMATION info = InformationOf(Of(file).handle);
    Facts facts;
    facts.readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.links = info.nNumberOfLinks;
    facts.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    return facts;
  }

  std::string Read(File& file) override {
    HANDLE handle = Of(file).handle;
    std::string contents;
    char buffer[65536];
    for (std::uint64_t offset = 0;;) {
      OVERLAPPED where = At(offset);
      DWORD got = 0;
      if (!ReadFile(handle, buffer, sizeof buffer, &got, &where)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
          break;
        ThrowLast();
      }
      if (got == 0)
        break;
      contents.append(buffer, got);
      offset += got;
    }
    return contents;
  }

  void Reserve(File& file, std::uint64_t size) override {
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (SetFileInformationByHandle(Writer(Of(file)), FileAllocationInfo, &allocation,
                                   sizeof allocation))
      return;
    // Only a full disk is an answer; a file system (or Wine) that cannot set
    // space aside leaves it to the writes, whose failure is handled too.
    const DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
      Throw(error);
  }

  std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) override {
    OVERLAPPED where = At(offset);
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
    if (!WriteFile(Writer(Of(file)), data.data(), chunk, &written, &where))
      ThrowLast();
    return written;
  }

  void Truncate(File& file, std::uint64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(Writer(Of(file)), FileEndOfFileInfo, &end, sizeof end))
      ThrowLast();
  }

  void Flush(File& file) override {
    if (!FlushFileBuffers(Writer(Of(file))))
      ThrowLast();
  }

  std::unique_ptr<File> CreateTemp(File& target) override {
    for (int attempt = 0; attempt < 100; ++attempt) {
      Path name = TemporaryFileName(Of(target).path);
      // Not shared for deletion: a clean-up cannot remove it while it is
      // written.
      HANDLE handle =
          CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        auto temp = std::make_unique<WindowsFile>(handle, std::move(name));
        temp->temporary = true;
        return temp;
      }
      if (GetLastError() != ERROR_FILE_EXISTS)
        ThrowLast();
    }
    Throw(ERROR_FILE_EXISTS);
  }

  bool CopyIdentity(File& target, File& temp) override {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(Of(target).handle, FileBasicInfo, &basic, sizeof basic))
      return false;
    // The times of the write itself are the new file's own.
    basic.LastAccessTime.QuadPart = 0;
    basic.LastWriteTime.QuadPart = 0;
    basic.ChangeTime.QuadPart = 0;
    return SetFileInformationByHandle(Of(temp).handle, FileBasicInfo, &basic, sizeof basic);
  }

  void Replace(File& target, File& temp) override {
    WindowsFile& t = Of(temp);
    // ReplaceFileW opens the replacement itself, sharing nothing.
    HANDLE handle = t.handle;
    t.handle = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle))
      ThrowLast();
    // With a backup name, a failure leaves both files under their names (or
    // the old one under the backup name, which is put back).
    const Path& path = Of(target).path;
    // A file another program put in the target's place is not replaced.
    if (!StillNamed(target))
      throw FileError(FileError::Kind::Other, "the file was replaced by another program");
    const Path backup = TemporaryFileName(path);
    if (!ReplaceFileW(path.c_str(), t.path.c_str(), backup.c_str(), 0, nullptr, nullptr)) {
      const DWORD error = GetLastError();
      if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        MoveFileExW(backup.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
      Throw(error);
    }
    t.temporary = false; // it is the settings file now
    // The old file, still open for the lock, goes when its handles close.
    DeleteFileW(backup.c_str());
  }

  void RemoveStaleTemps(File& target) override {
    // A temporary file still open in another write cannot be deleted.
    ForEachTemporaryFile(Of(target).path, false,
                         [](const Path& temp) { DeleteFileW(temp.c_str()); });
  }
};

} // namespace

std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem() {
  return std::make_shared<WindowsProfileFileSystem>();
}

} // namespace vantelo
