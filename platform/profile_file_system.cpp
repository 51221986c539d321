#include "platform/profile_file_system.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A hard-to-guess suffix for temporary names (O_EXCL makes collisions safe).
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
  std::string s(12, '0');
  for (char& c : s) {
    c = digits[x & 15];
    x >>= 4;
  }
  return s;
}

} // namespace

ProfileFileSystem::ReadResult PosixProfileFileSystem::ReadWholeFile(const std::string& path,
                                                                    std::string& contents) {
  contents.clear();
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is then refused
  // below as not a regular file.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0)
    return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
  ReadResult result = ReadResult::Ok;
  try {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      result = ReadResult::Failed;
    } else {
      // One read for the whole file: ask for one byte more than its size, so a
      // short read tells that the end was reached. Grow if it grew meanwhile.
      std::size_t filled = 0;
      contents.resize(static_cast<std::size_t>(st.st_size) + 1);
      for (;;) {
        std::size_t want = contents.size() - filled;
        ssize_t n = ::read(fd, contents.data() + filled, want);
        if (n < 0) {
          if (errno == EINTR)
            continue;
          result = ReadResult::Failed;
          break;
        }
        filled += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < want)
          break; // end of file
        contents.resize(contents.size() * 2);
      }
      contents.resize(result == ReadResult::Ok ? filled : 0);
    }
  } catch (const std::exception&) { // bad_alloc, length_error: far too big
    contents.clear();
    result = ReadResult::Failed;
  }
  ::close(fd);
  return result;
}

bool PosixProfileFileSystem::ResolveTarget(const std::string& path, std::string& target) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path; // a missing file is created under its own name
    return true;
  }
  // A symbolic link: replace the file it leads to, not the link. A dangling
  // link cannot be resolved and the write fails.
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    return false;
  target = resolved;
  std::free(resolved);
  return true;
}

bool PosixProfileFileSystem::MayReplace(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return errno == ENOENT; // gone meanwhile: it will simply be created
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    return false; // read-only
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool PosixProfileFileSystem::CreateTemp(const std::string& target, TempFile& temp) {
  temp = TempFile{};
  std::string dir = DirectoryOf(target);
  // Keep the name well below NAME_MAX however long the target's name is.
  std::string base = FileNameOf(target).substr(0, 100);
  std::string prefix = (dir == "/" ? "/" : dir + "/") + "." + base + ".vantelo-";
  int fd = -1;
  std::string name;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    name = prefix + RandomSuffix() + ".tmp";
    // Mode 0666: the process's umask then gives a new file its usual mode.
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno != EEXIST)
      return false;
  }
  if (fd < 0)
    return false;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    // Keep the original's owner where allowed (best effort) and its mode.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
      [[maybe_unused]] int ignored = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    [[maybe_unused]] int ignored = ::fchmod(fd, st.st_mode & 07777);
  }
  temp.handle = fd;
  temp.path = name;
  return true;
}

std::ptrdiff_t PosixProfileFileSystem::Write(int handle, const char* data, std::size_t size) {
  for (;;) {
    ssize_t n = ::write(handle, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    return n;
  }
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

bool PosixProfileFileSystem::Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

} // namespace vantelo
