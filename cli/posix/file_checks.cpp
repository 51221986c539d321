// The settings file's place checked through the POSIX calls.
#include "cli/settings_location.h"

#include "cli/usage_error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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

// The file a write through path changes: path itself, or the file its
// symbolic link leads to.
std::string WrittenFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
    return path;
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    throw UsageError(path + ": cannot find out which file the settings file path leads to (" +
                     Reason(errno) + ")");
  std::string target = resolved;
  std::free(resolved);
  return target;
}

} // namespace

void RequireWritable(const std::string& path) {
  const std::string target = WrittenFile(path);
  struct stat st {};
  if (Exists(target, st)) {
    // A file that may be written is written in place where its directory
    // does not allow replacing it, so the directory does not matter here.
    if (!S_ISREG(st.st_mode))
      throw UsageError(path + ": the settings file is not a regular file");
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      throw UsageError(path + ": the settings file cannot be written (it is read-only)");
    if (::access(target.c_str(), W_OK) != 0)
      throw UsageError(path + ": the settings file cannot be written (" + Reason(errno) + ")");
    return;
  }
  const std::string directory = fs::path(target).parent_path().string();
  RequireDirectory(directory, path);
  if (::access(directory.c_str(), W_OK | X_OK) != 0)
    throw UsageError(path + ": the settings file cannot be created in " + directory + " (" +
                     Reason(errno) + ")");
}

void RequireReadable(const std::string& path) {
  struct stat st {};
  if (!Exists(path, st))
    return;
  if (!S_ISREG(st.st_mode))
    throw UsageError(path + ": the settings file is not a regular file");
  if (::access(path.c_str(), R_OK) != 0)
    throw UsageError(path + ": the settings file cannot be read (" + Reason(errno) + ")");
}

void RequireReachable(const std::string& path) {
  RequireReadable(path);
  struct stat st {};
  if (!Exists(path, st))
    RequireDirectory(fs::path(path).parent_path().string(), path);
}

} // namespace vantelo::cli
