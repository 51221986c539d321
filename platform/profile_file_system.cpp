// The settings file's file system on POSIX systems: open file description
// locks (classic record locks where the kernel lacks them), Linux's unnamed
// temporary files where available, and a rename for the replacement.
#include "platform/profile_file_system.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace vantelo {

namespace {

using Path = ProfileFileSystem::Path;

// The locked byte: far past the end of any settings file, and within the
// range every locking protocol (NFS, SMB through Samba) can express. The
// Windows side locks the same byte.
constexpr off_t kLockOffset = off_t{1} << 62;

FileError::Kind KindOf(int error) {
  switch (error) {
  case ENOENT:
  case ENOTDIR:
    return FileError::Kind::Missing;
  case EACCES:
  case EPERM:
  case EROFS:
    return FileError::Kind::AccessDenied;
  case ENOSPC:
  case EDQUOT:
    return FileError::Kind::NoSpace;
  case EOPNOTSUPP:
    return FileError::Kind::NotSupported;
  default:
    return FileError::Kind::Other;
  }
}

[[noreturn]] void Throw(int error) { throw FileError(KindOf(error), std::strerror(error)); }
[[noreturn]] void ThrowErrno() { Throw(errno); }

class PosixFile final : public ProfileFileSystem::File {
public:
  PosixFile(int descriptor, Path opened) : fd(descriptor), path(std::move(opened)) {}
  ~PosixFile() override {
    if (fd >= 0)
      ::close(fd);
    if (temporary && !path.empty())
      ::unlink(path.c_str());
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int fd;
  Path path;          // as opened: what the lock checks against; empty for an unnamed file
  Path target;        // what a replacement replaces: path, or where its symbolic link leads
  int writeError = 0; // why the file is open for reading only, when it is
  bool temporary = false;
  bool ofdLock = true; // false: classic record locks
};

PosixFile& Of(ProfileFileSystem::File& file) { return static_cast<PosixFile&>(file); }

// The file a write through path changes: path itself, or the file a
// symbolic link leads to (a replacement must not put a file in the link's
// place).
Path Target(const Path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
    return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    ThrowErrno();
  Path target = resolved;
  std::free(resolved);
  return target;
}

// O_NONBLOCK: opening a FIFO must not wait for a writer; it is then refused
// as not a regular file.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

std::unique_ptr<PosixFile> Adopt(int fd, const Path& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileError(FileError::Kind::Other, "it is not a regular file");
  }
  auto file = std::make_unique<PosixFile>(fd, path);
  file->target = Target(path);
  return file;
}

bool SetLock(PosixFile& file, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kLockOffset;
  lock.l_len = 1;
  int result;
  do
    result = ::fcntl(file.fd, file.ofdLock ? F_OFD_SETLK : F_SETLK, &lock);
  while (result != 0 && errno == EINTR);
  if (result != 0 && errno == EINVAL && file.ofdLock) {
    file.ofdLock = false; // no open file description locks: classic ones
    return SetLock(file, type);
  }
  return result == 0;
}

// The names of the extended attributes of an open file; false when they
// cannot be listed (no support for them counts as none).
bool AttributeNames(int fd, std::vector<std::string>& names) {
  names.clear();
  std::vector<char> list;
  for (;;) {
    ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0)
      return errno == ENOTSUP;
    list.resize(static_cast<std::size_t>(size));
    size = size == 0 ? 0 : ::flistxattr(fd, list.data(), list.size());
    if (size < 0 && errno == ERANGE)
      continue; // grew meanwhile
    if (size < 0)
      return false;
    list.resize(static_cast<std::size_t>(size));
    break;
  }
  for (std::size_t i = 0; i < list.size();) {
    std::string name(list.data() + i);
    i += name.size() + 1;
    names.push_back(std::move(name));
  }
  return true;
}

bool AttributeValue(int fd, const std::string& name, std::vector<char>& value) {
  for (;;) {
    ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0)
      return false;
    value.resize(static_cast<std::size_t>(size));
    size = size == 0 ? 0 : ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (size < 0 && errno == ERANGE)
      continue;
    if (size < 0)
      return false;
    value.resize(static_cast<std::size_t>(size));
    return true;
  }
}

// Makes the extended attributes of to (those a new file got from its
// directory's defaults included) exactly those of from.
bool CopyAttributes(int from, int to) {
  std::vector<std::string> wanted, present;
  if (!AttributeNames(from, wanted) || !AttributeNames(to, present))
    return false;
  const std::set<std::string> keep(wanted.begin(), wanted.end());
  for (const std::string& name : present)
    if (keep.count(name) == 0 && ::fremovexattr(to, name.c_str()) != 0)
      return false;
  std::vector<char> value;
  for (const std::string& name : wanted)
    if (!AttributeValue(from, name, value) ||
        ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
      return false;
  return true;
}

class PosixProfileFileSystem final : public ProfileFileSystem {
public:
  std::unique_ptr<File> Open(const Path& path, LockMode mode) override {
    int fd = ::open(path.c_str(), (mode == LockMode::Exclusive ? O_RDWR : O_RDONLY) | kOpenFlags);
    int writeError = 0;
    if (fd < 0 && mode == LockMode::Exclusive &&
        (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)) {
      writeError = errno;
      fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    }
    if (fd < 0) {
      if (errno == ENOENT || errno == ENOTDIR)
        return nullptr;
      ThrowErrno();
    }
    auto file = Adopt(fd, path);
    file->writeError = writeError;
    return file;
  }

  std::unique_ptr<File> CreateNew(const Path& path) override {
    // Mode 0666: the process's umask then gives a new file its usual mode.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, 0666);
    if (fd >= 0)
      return Adopt(fd, path);
    if (errno != EEXIST)
      ThrowErrno();
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0)
      throw FileError(FileError::Kind::Missing, "it is a symbolic link that leads nowhere");
    return nullptr;
  }

  LockResult TryLock(File& file, LockMode mode) override {
    PosixFile& f = Of(file);
    if (mode == LockMode::Exclusive && f.writeError != 0)
      Throw(f.writeError); // an exclusive lock needs the file open for writing
    if (SetLock(f, mode == LockMode::Exclusive ? F_WRLCK : F_RDLCK))
      return LockResult::Locked;
    if (errno == EAGAIN || errno == EACCES)
      return LockResult::Busy;
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS)
      return LockResult::Unsupported; // a file system without locks
    ThrowErrno();
  }

  void Unlock(File& file) override {
    if (!SetLock(Of(file), F_UNLCK))
      ThrowErrno();
  }

  bool StillNamed(File& file) override {
    const PosixFile& f = Of(file);
    struct stat opened {
    }, named{};
    if (::fstat(f.fd, &opened) != 0)
      ThrowErrno();
    return ::stat(f.path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
           named.st_ino == opened.st_ino;
  }

  void Remove(File& file) override {
    if (::unlink(Of(file).target.c_str()) != 0)
      ThrowErrno();
  }

  bool BeingReplaced(const Path&) override { return false; } // a rename is one step

  Facts Inspect(File& file) override {
    struct stat st {};
    if (::fstat(Of(file).fd, &st) != 0)
      ThrowErrno();
    Facts facts;
    facts.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    facts.links = static_cast<std::uint64_t>(st.st_nlink);
    facts.size = static_cast<std::uint64_t>(st.st_size);
    return facts;
  }

  std::string Read(File& file) override {
    const int fd = Of(file).fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
      ThrowErrno();
    std::string contents;
    try {
      // One read for the whole file: ask for one byte more than its size, so
      // a short read tells that the end was reached. Grow if it grew.
      std::size_t filled = 0;
      contents.resize(static_cast<std::size_t>(st.st_size) + 1);
      for (;;) {
        const std::size_t want = contents.size() - filled;
        const ssize_t n = ::pread(fd, contents.data() + filled, want, static_cast<off_t>(filled));
        if (n < 0 && errno == EINTR)
          continue;
        if (n < 0)
          ThrowErrno();
        filled += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < want)
          break; // end of file
        contents.resize(contents.size() * 2);
      }
      contents.resize(filled);
    } catch (const std::length_error&) {
      Throw(EFBIG);
    } catch (const std::bad_alloc&) {
      Throw(EFBIG);
    }
    return contents;
  }

  void Reserve(File& file, std::uint64_t size) override {
    int result;
    do
      result = ::fallocate(Of(file).fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
    while (result != 0 && errno == EINTR);
    if (result != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
      ThrowErrno();
  }

  std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) override {
    for (;;) {
      const ssize_t n = ::pwrite(Of(file).fd, data.data(), data.size(), static_cast<off_t>(offset));
      if (n >= 0)
        return static_cast<std::size_t>(n);
      if (errno != EINTR)
        ThrowErrno();
    }
  }

  void Truncate(File& file, std::uint64_t size) override {
    if (::ftruncate(Of(file).fd, static_cast<off_t>(size)) != 0)
      ThrowErrno();
  }

  void Flush(File& file) override {
    // EINVAL: the file system does not sync; there is nothing more to do.
    if (::fsync(Of(file).fd) != 0 && errno != EINVAL)
      ThrowErrno();
  }

  std::unique_ptr<File> CreateTemp(File& target) override {
    const Path& name = Of(target).target;
    // Unnamed first, so that a crash leaves nothing behind; it can be named
    // later only through /proc.
    if (::access("/proc/self/fd", X_OK) == 0) {
      const Path folder = name.parent_path().empty() ? Path(".") : name.parent_path();
      const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
      if (fd >= 0) {
        auto temp = std::make_unique<PosixFile>(fd, Path());
        temp->temporary = true;
        temp->target = name;
        return temp;
      }
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        ThrowErrno(); // the folder itself refuses (no access, no space...)
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      const Path tempName = TemporaryFileName(name);
      const int fd =
          ::open(tempName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
      if (fd >= 0) {
        auto temp = std::make_unique<PosixFile>(fd, tempName);
        temp->temporary = true;
        temp->target = name;
        return temp;
      }
      if (errno != EEXIST)
        ThrowErrno();
    }
    Throw(EEXIST);
  }

  bool CopyIdentity(File& target, File& temp) override {
    const int from = Of(target).fd, to = Of(temp).fd;
    struct stat want {};
    if (::fstat(from, &want) != 0 || ::fchown(to, want.st_uid, want.st_gid) != 0 ||
        !CopyAttributes(from, to) || ::fchmod(to, want.st_mode & 07777) != 0)
      return false;
    // A mode bit the process may not set (set-group-ID for a group it is not
    // in) is dropped without an error: compare.
    struct stat got {};
    return ::fstat(to, &got) == 0 && got.st_uid == want.st_uid && got.st_gid == want.st_gid &&
           (got.st_mode & 07777) == (want.st_mode & 07777);
  }

  void Replace(File& target, File& temp) override {
    PosixFile& t = Of(temp);
    if (t.path.empty()) { // an unnamed file gets its name now
      const std::string self = "/proc/self/fd/" + std::to_string(t.fd);
      for (int attempt = 0; t.path.empty(); ++attempt) {
        const Path name = TemporaryFileName(t.target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
          t.path = name;
        else if (errno != EEXIST || attempt == 100)
          ThrowErrno();
      }
    }
    // Closing reports what a network file system could not write.
    const int fd = t.fd;
    t.fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
      ThrowErrno();
    if (::rename(t.path.c_str(), Of(target).target.c_str()) != 0)
      ThrowErrno();
    t.temporary = false; // it is the settings file now
  }

  void RemoveStaleTemps(File& target) override {
    const Path& name = Of(target).target;
    const Path folder = name.parent_path().empty() ? Path(".") : name.parent_path();
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
      return;
    DIR* stream = ::fdopendir(dirFd);
    if (stream == nullptr) {
      ::close(dirFd);
      return;
    }
    while (const dirent* entry = ::readdir(stream))
      if (IsTemporaryFileNameOf(name, Path(entry->d_name)))
        ::unlinkat(dirFd, entry->d_name, 0);
    ::closedir(stream);
  }
};

} // namespace

std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem() {
  return std::make_shared<PosixProfileFileSystem>();
}

} // namespace vantelo
