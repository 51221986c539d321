#include "platform/profile_file_system.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
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

// Directory part of a path ("." when there is none), without a trailing '/'
// unless it is the root.
std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  if (slash == 0)
    return "/";
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary names are "." + the file's name + ".vantelo-" + 12 hexadecimal
// digits + ".tmp". The file's name is cut at this length so that the whole
// stays below the 255 bytes a name may have; stale temporary files of a name
// that was cut are not recognised as its own.
constexpr std::size_t kLongestBase = 200;
constexpr std::size_t kSuffixDigits = 12;
const std::string kTempInfix = ".vantelo-";
const std::string kTempEnd = ".tmp";

std::string TempPrefix(const std::string& target) {
  const std::string dir = DirectoryOf(target);
  return (dir == "/" ? "/" : dir + "/") + "." + FileNameOf(target).substr(0, kLongestBase) +
         kTempInfix;
}

// A hard-to-guess suffix for temporary names (O_EXCL and link's refusal to
// replace make collisions safe).
std::string RandomSuffix() {
  static std::atomic<std::uint64_t> counter{0};
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::uint64_t x =
      static_cast<std::uint64_t>(ts.tv_nsec) ^ (static_cast<std::uint64_t>(ts.tv_sec) << 30) ^
      (static_cast<std::uint64_t>(getpid()) << 20) ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
  // splitmix64 finaliser
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  x ^= x >> 31;
  static const char digits[] = "0123456789abcdef";
  std::string s(kSuffixDigits, '0');
  for (char& c : s) {
    c = digits[x & 15];
    x >>= 4;
  }
  return s;
}

// Waits for a lock on the whole file: shared (F_RDLCK) or exclusive
// (F_WRLCK). Open file description locks belong to this open of the file
// alone, so closing another descriptor of the same file in this process does
// not drop them; where the kernel lacks them, classic POSIX record locks
// stand in. Both are taken over NFS by Linux's client. A file system that
// has no locks at all is used without them.
bool LockWholeFile(int fd, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  for (int command : {F_OFD_SETLKW, F_SETLKW}) {
    int result;
    do
      result = ::fcntl(fd, command, &lock);
    while (result != 0 && errno == EINTR);
    if (result == 0)
      return true;
    if (errno == EINVAL && command == F_OFD_SETLKW)
      continue; // no open file description locks: classic ones
    return errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS;
  }
  return false;
}

// Opens path and locks it; retries when path names another file once the
// lock is held. Returns the descriptor, or -1 with errno set.
int OpenAndLock(const std::string& path, int flags, short lockType) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is then
    // refused as not a regular file.
    int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
      return -1;
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      ::close(fd);
      errno = EISDIR;
      return -1;
    }
    if (!LockWholeFile(fd, lockType)) {
      const int error = errno;
      ::close(fd);
      errno = error;
      return -1;
    }
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino)
      return fd;
    ::close(fd); // replaced or removed while this one waited: open it again
  }
  errno = EAGAIN;
  return -1;
}

ProfileFileSystem::ReadResult ReadFrom(int fd, std::string& contents) {
  using ReadResult = ProfileFileSystem::ReadResult;
  contents.clear();
  try {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
      return ReadResult::Failed;
    // One read for the whole file: ask for one byte more than its size, so a
    // short read tells that the end was reached. Grow if it grew meanwhile.
    std::size_t filled = 0;
    contents.resize(static_cast<std::size_t>(st.st_size) + 1);
    for (;;) {
      std::size_t want = contents.size() - filled;
      ssize_t n = ::pread(fd, contents.data() + filled, want, static_cast<off_t>(filled));
      if (n < 0) {
        if (errno == EINTR)
          continue;
        contents.clear();
        return ReadResult::Failed;
      }
      filled += static_cast<std::size_t>(n);
      if (static_cast<std::size_t>(n) < want)
        break; // end of file
      contents.resize(contents.size() * 2);
    }
    contents.resize(filled);
    return ReadResult::Ok;
  } catch (const std::exception&) { // bad_alloc, length_error: far too big
    contents.clear();
    errno = EFBIG;
    return ReadResult::Failed;
  }
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

} // namespace

ProfileFileSystem::ReadResult PosixProfileFileSystem::ReadWholeFile(const std::string& path,
                                                                    std::string& contents) {
  contents.clear();
  int fd = OpenAndLock(path, O_RDONLY, F_RDLCK);
  if (fd < 0)
    return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
  ReadResult result = ReadFrom(fd, contents);
  const int error = errno;
  ::close(fd);
  errno = error;
  return result;
}

bool PosixProfileFileSystem::ResolveTarget(const std::string& path, std::string& target) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path; // a missing file is created under its own name
    return true;
  }
  // A symbolic link: write the file it leads to, not the link. A dangling
  // link cannot be resolved and the write fails.
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    return false;
  target = resolved;
  std::free(resolved);
  return true;
}

ProfileFileSystem::ReadResult PosixProfileFileSystem::OpenLocked(const std::string& path,
                                                                 int& handle) {
  handle = OpenAndLock(path, O_RDWR, F_WRLCK);
  if (handle >= 0)
    return ReadResult::Ok;
  return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
}

bool PosixProfileFileSystem::Inspect(int handle, FileFacts& facts) {
  struct stat st {};
  if (::fstat(handle, &st) != 0)
    return false;
  facts.regular = S_ISREG(st.st_mode);
  facts.writeBits = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  facts.links = static_cast<std::uint64_t>(st.st_nlink);
  return true;
}

ProfileFileSystem::ReadResult PosixProfileFileSystem::ReadOpen(int handle, std::string& contents) {
  return ReadFrom(handle, contents);
}

bool PosixProfileFileSystem::CreateTemp(const std::string& target, TempFile& temp) {
  temp = TempFile{};
  // Mode 0666: the process's umask then gives a new file its usual mode.
  // Unnamed first; it can be named later only through /proc.
  if (::access("/proc/self/fd", X_OK) == 0) {
    int fd = ::open(DirectoryOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temp.handle = fd;
      return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
      return false; // the directory itself refuses (no access, no space...)
  }
  const std::string prefix = TempPrefix(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + RandomSuffix() + kTempEnd;
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0) {
      temp.handle = fd;
      temp.path = std::move(name);
      return true;
    }
    if (errno != EEXIST)
      return false;
  }
  return false;
}

bool PosixProfileFileSystem::CopyIdentity(int from, const TempFile& temp) {
  struct stat want {};
  if (::fstat(from, &want) != 0 || ::fchown(temp.handle, want.st_uid, want.st_gid) != 0 ||
      !CopyAttributes(from, temp.handle) || ::fchmod(temp.handle, want.st_mode & 07777) != 0)
    return false;
  // A mode bit the process may not set (set-group-ID for a group it is not
  // in) is dropped without an error: compare.
  struct stat got {};
  return ::fstat(temp.handle, &got) == 0 && got.st_uid == want.st_uid &&
         got.st_gid == want.st_gid && (got.st_mode & 07777) == (want.st_mode & 07777);
}

bool PosixProfileFileSystem::NameTemp(const std::string& target, TempFile& temp) {
  if (!temp.path.empty())
    return true;
  const std::string self = "/proc/self/fd/" + std::to_string(temp.handle);
  const std::string prefix = TempPrefix(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + RandomSuffix() + kTempEnd;
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temp.path = std::move(name);
      return true;
    }
    if (errno != EEXIST)
      return false;
  }
  return false;
}

std::ptrdiff_t PosixProfileFileSystem::Write(int handle, const char* data, std::size_t size) {
  for (;;) {
    ssize_t n = ::write(handle, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    return n;
  }
}

bool PosixProfileFileSystem::Seek(int handle, std::uint64_t offset) {
  return ::lseek(handle, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool PosixProfileFileSystem::Reserve(int handle, std::uint64_t size) {
  int result;
  do
    result = ::fallocate(handle, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
  while (result != 0 && errno == EINTR);
  return result == 0 || errno == EOPNOTSUPP || errno == ENOSYS;
}

bool PosixProfileFileSystem::Truncate(int handle, std::uint64_t size) {
  return ::ftruncate(handle, static_cast<off_t>(size)) == 0;
}

bool PosixProfileFileSystem::Flush(int handle) {
  // EINVAL: the file system does not support syncing; nothing more to do.
  return ::fsync(handle) == 0 || errno == EINVAL;
}

bool PosixProfileFileSystem::Close(int handle) {
  // On Linux the descriptor is released even when close reports EINTR.
  return ::close(handle) == 0 || errno == EINTR;
}

bool PosixProfileFileSystem::Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixProfileFileSystem::Link(const std::string& from, const std::string& to) {
  return ::link(from.c_str(), to.c_str()) == 0;
}

bool PosixProfileFileSystem::Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

void PosixProfileFileSystem::RemoveStaleTemps(const std::string& target) {
  if (FileNameOf(target).size() > kLongestBase)
    return;
  const std::string dir = DirectoryOf(target);
  const std::string prefix = FileNameOf(TempPrefix(target));
  DIR* stream = ::opendir(dir.c_str());
  if (stream == nullptr)
    return;
  const int dirFd = ::dirfd(stream);
  while (const dirent* entry = ::readdir(stream)) {
    const std::string_view name(entry->d_name);
    if (name.size() != prefix.size() + kSuffixDigits + kTempEnd.size() ||
        name.substr(0, prefix.size()) != prefix || !name.ends_with(kTempEnd) ||
        name.substr(prefix.size(), kSuffixDigits).find_first_not_of("0123456789abcdef") !=
            std::string_view::npos)
      continue;
    ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(stream);
}

std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem() {
  return std::make_shared<PosixProfileFileSystem>();
}

} // namespace vantelo
