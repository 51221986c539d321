// The settings file's place checked through the POSIX calls. A check opens
// what it checks and closes it again; nothing is written.
#include "cli/settings_location.h"

#include "cli/usage_error.h"
#include "platform/utf8_path.h"
#include "profile/profile_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vantelo::cli {

namespace fs = std::filesystem;

namespace {

// Why a path cannot be reached, from the error of stat or open.
std::string Reason(int error) { return std::strerror(error); }

// Whether the file at path exists (a missing directory on the way counts as
// missing); throws UsageError naming the real reason (no permission to
// enter a directory, a name too long, a loop of links...) otherwise.
bool Exists(const std::string& path, struct stat& st) {
  if (::stat(path.c_str(), &st) == 0)
    return true;
  if (errno == ENOENT || errno == ENOTDIR)
    return false;
  throw UsageError(path + ": the settings file cannot be reached (" + Reason(errno) + ")");
}

void RequireDirectory(const std::string& directory, const std::string& path) {
  struct stat st {};
  if (::stat(directory.c_str(), &st) != 0)
    throw UsageError(path + ": the directory " + directory +
                     (errno == ENOENT ? std::string(" does not exist")
                                      : " cannot be reached (" + Reason(errno) + ")"));
  if (!S_ISDIR(st.st_mode))
    throw UsageError(path + ": " + directory + " is not a directory");
}

} // namespace

// Found by trying, as the write will, never by access() (which grants root
// everything, so that root would be told yes where the write then fails):
// an existing file is opened for writing and closed again, and in the
// folder of a missing one a file of a temporary name is created and removed
// again. Nothing is written.
void RequireWritable(const std::string& path) {
  struct stat st {};
  if (Exists(path, st)) {
    // A file that may be written is written in place where its directory
    // does not allow replacing it, so the directory does not matter here.
    if (!S_ISREG(st.st_mode))
      throw UsageError(path + ": the settings file is not a regular file");
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      throw UsageError(path + ": the settings file cannot be written (it is read-only)");
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
      throw UsageError(path + ": the settings file cannot be written (" + Reason(errno) + ")");
    ::close(fd);
    return;
  }
  // A link that leads nowhere is not followed to create its target: the
  // write refuses it too.
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    throw UsageError(path + ": the settings file is a symbolic link that leads nowhere");
  const std::string directory = fs::path(path).parent_path().string();
  RequireDirectory(directory, path);
  const std::string probe = TemporaryFileName(PathFromUtf8(path)).string();
  const int fd =
      ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
  if (fd < 0)
    throw UsageError(path + ": the settings file cannot be created in " + directory + " (" +
                     Reason(errno) + ")");
  ::close(fd);
  ::unlink(probe.c_str());
}

void RequireReadable(const std::string& path) {
  struct stat st {};
  if (!Exists(path, st))
    return;
  if (!S_ISREG(st.st_mode))
    throw UsageError(path + ": the settings file is not a regular file");
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0)
    throw UsageError(path + ": the settings file cannot be read (" + Reason(errno) + ")");
  ::close(fd);
}

void RequireReachable(const std::string& path) {
  RequireReadable(path);
  struct stat st {};
  if (!Exists(path, st))
    RequireDirectory(fs::path(path).parent_path().string(), path);
}

} // namespace vantelo::cli
