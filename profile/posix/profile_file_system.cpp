// The settings file's file system on POSIX systems: open file description
// locks (classic record locks where the kernel lacks them), Linux's unnamed
// temporary files where available, and a rename for the replacement.
//
// What is checked is checked on the descriptor that is then written: the
// file is opened first (its folder held open, the name opened without
// following a link unless a link may be followed), and its type, mode and
// identity come from fstat. The temporary file and the rename work from the
// held folder's descriptor (openat, linkat, renameat), and the rename
// happens only while the name still names the locked file. A name that
// another user changes meanwhile can therefore make a write fail, but never
// send it into another file.
#include "profile/profile_file_system.h"

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
#include <utility>
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
  case EBUSY: // a mount point, such as a file bound into a container
  case ETXTBSY:
    return FileError::Kind::Busy;
  case EXDEV:
    return FileError::Kind::CrossDevice;
  case EOPNOTSUPP:
    return FileError::Kind::NotSupported;
  default:
    return FileError::Kind::Other;
  }
}

[[noreturn]] void Throw(int error) { throw FileError(KindOf(error), std::strerror(error)); }
[[noreturn]] void ThrowErrno() { Throw(errno); }

constexpr const char* kReplacedMeanwhile = "another program replaced or removed it meanwhile";

// A descriptor, closed with its owner.
class Descriptor {
public:
  explicit Descriptor(int descriptor = -1) : fd_(descriptor) {}
  ~Descriptor() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

private:
  int fd_;
};

// A folder, held open (O_PATH) so that every step of a write happens in the
// folder that was checked, whatever names on the way to it change meanwhile.
using Folder = std::shared_ptr<const Descriptor>;

class PosixFile final : public ProfileFileSystem::File {
public:
  PosixFile(int descriptor, Path opened) : fd(descriptor), path(std::move(opened)) {}
  ~PosixFile() override {
    if (fd >= 0)
      ::close(fd);
    if (temporary && folder && !name.empty())
      ::unlinkat(folder->get(), name.c_str(), 0);
  }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  int fd;
  Path path; // as opened: what the lock checks against
  // Where the file is named: the folder it is in and its name there (where
  // a symbolic link leads, for a file opened through one). A replacement
  // renames into exactly this entry; no folder when the file's entry could
  // not be made sure of, and it is then written in place only. A temporary
  // file's name is empty while it has none.
  Folder folder;
  Path name;
  int writeError = 0; // why the file is open for reading only, when it is
  bool temporary = false;
  bool ofdLock = true; // false: classic record locks
};

PosixFile& Of(ProfileFileSystem::File& file) { return static_cast<PosixFile&>(file); }

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the entry name in folder is the open file itself (not a link to
// it, not another file put there meanwhile).
bool NamesFile(const Descriptor& folder, const Path& name, int fd) {
  struct stat entry {
  }, opened{};
  return ::fstat(fd, &opened) == 0 &&
         ::fstatat(folder.get(), name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
         SameFile(entry, opened);
}

// The folder of path, held open; nullptr when it or a folder on the way is
// missing.
Folder OpenFolder(const Path& path) {
  const Path folder = path.parent_path().empty() ? Path(".") : path.parent_path();
  const int fd = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0)
    return std::make_shared<const Descriptor>(fd);
  if (errno == ENOENT || errno == ENOTDIR)
    return nullptr;
  ThrowErrno();
}

// The symbolic link name in folder may be followed unless the folder is
// shared (world-writable and sticky, as /tmp) and the link belongs to
// neither this user nor the folder's owner: in such a folder anyone may put
// a link, and following another user's link would let them choose which
// file this program writes. Linux's fs.protected_symlinks makes the same
// rule for the whole system where it is switched on; this holds it for the
// settings file whatever the setting.
bool MayFollow(const Descriptor& folder, const struct stat& link) {
  struct stat dir {};
  if (::fstat(folder.get(), &dir) != 0)
    ThrowErrno();
  const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

// O_NONBLOCK: opening a FIFO must not wait for a writer; it is then refused
// as not a regular file.
constexpr int kOpenFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

// Opens the entry name in folder with flags. The entry itself is opened
// without following a link first; a link is followed only as MayFollow
// allows, and only the link that was checked (the entry is looked at again
// after the open). -1 with errno set when the open fails; throws when a link
// is refused.
int OpenEntry(const Descriptor& folder, const Path& name, int flags, bool& throughLink) {
  throughLink = false;
  const int fd = ::openat(folder.get(), name.c_str(), flags | O_NOFOLLOW);
  if (fd >= 0 || errno != ELOOP)
    return fd;
  struct stat link {};
  if (::fstatat(folder.get(), name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0)
    return -1;
  if (!S_ISLNK(link.st_mode)) { // replaced by a file meanwhile: start again
    errno = EAGAIN;
    return -1;
  }
  if (!MayFollow(folder, link))
    throw FileError(FileError::Kind::AccessDenied,
                    "it is a symbolic link of another user in a folder that everyone may write "
                    "to, which is not followed");
  Descriptor opened(::openat(folder.get(), name.c_str(), flags));
  if (opened.get() < 0)
    return -1;
  struct stat again {};
  if (::fstatat(folder.get(), name.c_str(), &again, AT_SYMLINK_NOFOLLOW) != 0 ||
      !SameFile(again, link) || again.st_uid != link.st_uid) {
    errno = EAGAIN; // another link was put in its place meanwhile: start again
    return -1;
  }
  throughLink = true;
  return opened.release();
}

// Where the file opened through a symbolic link is named: the kernel's own
// record of the path it opened (/proc), checked against the descriptor.
// Nothing when it cannot be made sure of; the file is then written in place.
void FindTarget(PosixFile& file) {
  char buffer[PATH_MAX + 1];
  const std::string self = "/proc/self/fd/" + std::to_string(file.fd);
  const ssize_t n = ::readlink(self.c_str(), buffer, PATH_MAX);
  if (n <= 0 || buffer[0] != '/')
    return;
  const Path target(std::string(buffer, static_cast<std::size_t>(n)));
  Folder folder;
  try {
    folder = OpenFolder(target);
  } catch (const FileError&) {
    return;
  }
  if (folder && NamesFile(*folder, target.filename(), file.fd)) {
    file.folder = std::move(folder);
    file.name = target.filename();
  }
}

std::unique_ptr<PosixFile> Adopt(int fd, const Path& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileError(FileError::Kind::Other, "it is not a regular file");
  }
  return std::make_unique<PosixFile>(fd, path);
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
    // A link that another link took the place of while it was checked is
    // looked at anew (EAGAIN from OpenEntry), a bounded number of times.
    for (int attempt = 0;; ++attempt) {
      const Folder folder = OpenFolder(path);
      if (!folder)
        return nullptr;
      const Path name = path.filename();
      bool throughLink = false;
      int fd =
          OpenEntry(*folder, name, (mode == LockMode::Exclusive ? O_RDWR : O_RDONLY) | kOpenFlags,
                    throughLink);
      int writeError = 0;
      if (fd < 0 && mode == LockMode::Exclusive &&
          (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)) {
        writeError = errno;
        fd = OpenEntry(*folder, name, O_RDONLY | kOpenFlags, throughLink);
      }
      if (fd < 0) {
        if (errno == EAGAIN && attempt < 100)
          continue;
        if (errno == ENOENT || errno == ENOTDIR)
          return nullptr;
        ThrowErrno();
      }
      auto file = Adopt(fd, path);
      file->writeError = writeError;
      if (throughLink) {
        FindTarget(*file);
      } else {
        file->folder = folder;
        file->name = name;
      }
      return file;
    }
  }

  std::unique_ptr<File> CreateNew(const Path& path) override {
    const Folder folder = OpenFolder(path);
    if (!folder)
      Throw(ENOENT);
    const Path name = path.filename();
    // Mode 0666: the process's umask then gives a new file its usual mode.
    // O_EXCL creates a new entry or nothing: never through a link.
    const int fd = ::openat(folder->get(), name.c_str(),
                            O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | kOpenFlags, 0666);
    if (fd >= 0) {
      auto file = Adopt(fd, path);
      file->folder = folder;
      file->name = name;
      return file;
    }
    if (errno != EEXIST)
      ThrowErrno();
    struct stat st {};
    if (::fstatat(folder->get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(st.st_mode) && ::fstatat(folder->get(), name.c_str(), &st, 0) != 0)
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
    const PosixFile& f = Of(file);
    if (!f.folder || !NamesFile(*f.folder, f.name, f.fd))
      throw FileError(FileError::Kind::Other, kReplacedMeanwhile);
    if (::unlinkat(f.folder->get(), f.name.c_str(), 0) != 0)
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
    const PosixFile& t = Of(target);
    if (!t.folder)
      throw FileError(FileError::Kind::NotSupported,
                      "where the file is named cannot be made sure of, so it is not replaced");
    const int folder = t.folder->get();
    auto temporary = [&](int fd, Path name) {
      auto temp = std::make_unique<PosixFile>(fd, Path());
      temp->temporary = true;
      temp->folder = t.folder;
      temp->name = std::move(name);
      return temp;
    };
    // Unnamed first, so that a crash leaves nothing behind; it can be named
    // later only through /proc.
    if (::access("/proc/self/fd", X_OK) == 0) {
      const int fd = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
      if (fd >= 0)
        return temporary(fd, Path());
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        ThrowErrno(); // the folder itself refuses (no access, no space...)
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
      const Path name = TemporaryFileName(t.name).filename();
      const int fd = ::openat(folder, name.c_str(),
                              O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
      if (fd >= 0)
        return temporary(fd, name);
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
    const PosixFile& f = Of(target);
    PosixFile& t = Of(temp);
    const int folder = t.folder->get();
    if (t.name.empty()) { // an unnamed file gets its name now
      const std::string self = "/proc/self/fd/" + std::to_string(t.fd);
      for (int attempt = 0; t.name.empty(); ++attempt) {
        const Path name = TemporaryFileName(f.name).filename();
        if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
          t.name = name;
        else if (errno != EEXIST || attempt == 100)
          ThrowErrno(); // EPERM: a file system without hard links
      }
    }
    // Closing reports what a network file system could not write.
    const int fd = t.fd;
    t.fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
      ThrowErrno();
    // The rename replaces whatever the entry is when it happens, so the
    // entry must still be the locked file: a file or link another program
    // put there is never replaced by a file of ours. The rename itself never
    // follows a link, and happens in the folder held open since the check.
    if (!NamesFile(*f.folder, f.name, f.fd))
      throw FileError(FileError::Kind::Other, kReplacedMeanwhile);
    if (::renameat(folder, t.name.c_str(), f.folder->get(), f.name.c_str()) != 0)
      ThrowErrno();
    t.temporary = false; // it is the settings file now
  }

  void RemoveStaleTemps(File& target) override {
    const PosixFile& f = Of(target);
    if (!f.folder)
      return;
    const int dirFd = ::openat(f.folder->get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
      return;
    DIR* stream = ::fdopendir(dirFd);
    if (stream == nullptr) {
      ::close(dirFd);
      return;
    }
    while (const dirent* entry = ::readdir(stream))
      if (IsTemporaryFileNameOf(f.name, Path(entry->d_name)))
        ::unlinkat(dirFd, entry->d_name, 0);
    ::closedir(stream);
  }
};

} // namespace

std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem() {
  return std::make_shared<PosixProfileFileSystem>();
}

} // namespace vantelo
