#include "cli/settings_location.h"

#include "cli/program_platform.h"
#include "cli/usage_error.h"
#include "platform/ascii_case.h"
#include "platform/module_path.h"

namespace vantelo::cli {

std::string SettingsPath(const std::string& path, const std::string& what) {
  if (path.empty())
    throw UsageError(what + ": the settings file path is empty");
  return AbsolutePath(path, what);
}

std::string CheckedSettingsPath(const std::string& path, const std::string& what) {
  const std::string absolute = SettingsPath(path, what);
  const auto codePage = AddinCodePage();
  const std::string ansi = codePage->FromUtf8(absolute);
  if (codePage->ToUtf8(ansi) != absolute)
    throw UsageError(what + ": " + absolute +
                     ": the path has characters that the ANSI code page (" + AddinCodePageName() +
                     "), through which the add-in passes it, cannot hold");
  if (const std::size_t limit = ProfilePathLimit(); limit != 0 && ansi.size() > limit)
    throw UsageError(what + ": " + absolute + ": the path is longer than the " +
                     std::to_string(limit) + " characters the add-in's profile functions take");
  return absolute;
}

SettingsLocation LocateSettings(const std::optional<std::string>& file) {
  SettingsLocation location;
  if (file) {
    const std::string path = CheckedSettingsPath(*file, "--settings");
    const std::size_t slash =
        path.find_last_of(PathSeparator() == '/' ? std::string("/") : std::string("\\/"));
    const std::string directory = path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    const std::string_view extension =
        std::string_view(name).substr(name.size() < 4 ? 0 : name.size() - 4);
    if (name.size() <= 4 ||
        !(FileNamesIgnoreCase() ? EqualsIgnoringAsciiCase(extension, ".ini") : extension == ".ini"))
      throw UsageError("--settings: " + path +
                       ": the add-in finds its settings file as its module's directory and base "
                       "name with \".ini\", so the file name must end in \".ini\"");
    location.path = path;
    location.modulePath =
        std::make_shared<FixedModulePath>(directory, name.substr(0, name.size() - 4));
    return location;
  }
  auto own = ProgramModulePath();
  if (own->BaseName().empty())
    throw UsageError("cannot find out the program's own path, next to which the settings file "
                     "lies; give --settings FILE");
  location.path = CheckedSettingsPath(own->Directory() + PathSeparator() + own->BaseName() + ".ini",
                                      "the settings file next to the program");
  location.modulePath = own;
  return location;
}

} // namespace vantelo::cli
