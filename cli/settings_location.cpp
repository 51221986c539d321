#include "cli/settings_location.h"

#include "cli/usage_error.h"
#include "platform/module_path.h"
#include "platform/profile_file_system.h"
#include "platform/windows1252_code_page.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace vantelo::cli {

namespace fs = std::filesystem;

std::string CheckedSettingsPath(const std::string& path, const std::string& what) {
  if (path.empty())
    throw UsageError(what + ": the settings file path is empty");
  if (path.find('\\') != std::string::npos)
    throw UsageError(what + ": " + path +
                     ": the path holds a backslash, which the add-in's profile functions take "
                     "as a directory separator");
  std::error_code error;
  const std::string absolute = fs::absolute(path, error).lexically_normal().string();
  if (error)
    throw UsageError(what + ": " + path + ": " + error.message());
  Windows1252CodePage codePage;
  if (codePage.ToUtf8(codePage.FromUtf8(absolute)) != absolute)
    throw UsageError(what + ": " + absolute +
                     ": the path has characters that the ANSI code page (Windows-1252), "
                     "through which the add-in passes it, cannot hold");
  return absolute;
}

SettingsLocation LocateSettings(const std::optional<std::string>& file) {
  SettingsLocation location;
  if (file) {
    const std::string path = CheckedSettingsPath(*file, "--settings");
    const fs::path p(path);
    if (p.extension() != ".ini" || p.stem().empty())
      throw UsageError("--settings: " + path +
                       ": the add-in finds its settings file as its module's directory and base "
                       "name with \".ini\", so the file name must end in \".ini\"");
    location.path = path;
    location.modulePath =
        std::make_shared<FixedModulePath>(p.parent_path().string(), p.stem().string());
    return location;
  }
  auto own = std::make_shared<ExecutableModulePath>();
  if (own->BaseName().empty())
    throw UsageError("cannot find out the program's own path, next to which the settings file "
                     "lies; give --settings FILE");
  location.path = CheckedSettingsPath(own->Directory() + "/" + own->BaseName() + ".ini",
                                      "the settings file next to the program");
  location.modulePath = own;
  return location;
}

void RequireWritable(const std::string& path) {
  std::error_code error;
  PosixProfileFileSystem files;
  std::string target;
  if (!files.ResolveTarget(path, target))
    throw UsageError(path + ": cannot find out which file the settings file path leads to");
  const fs::file_status status = fs::status(target, error);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status))
      throw UsageError(path + ": the settings file is not a regular file");
    if (!files.MayReplace(target))
      throw UsageError(path + ": the settings file cannot be written (it is read-only or "
                              "belongs to someone else)");
  }
  // Writes go to a new file in the same directory that then replaces the
  // settings file, so the directory must be writable either way.
  const fs::path directory = fs::path(target).parent_path();
  if (!fs::is_directory(directory, error))
    throw UsageError(path + ": the directory " + directory.string() + " does not exist");
  if (::access(directory.c_str(), W_OK | X_OK) != 0)
    throw UsageError(path + ": the directory " + directory.string() + " cannot be written (" +
                     std::strerror(errno) + ")");
}

void RequireReadable(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status))
    return;
  if (!fs::is_regular_file(status))
    throw UsageError(path + ": the settings file is not a regular file");
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw UsageError(path + ": the settings file cannot be read (" + std::strerror(errno) + ")");
}

} // namespace vantelo::cli
