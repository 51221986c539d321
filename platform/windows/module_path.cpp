// Where the add-in's module lies: its directory and its base name, from the
// module's own path, as the add-in names its settings file with them
// (directory, "\", base name, ".ini").
//
// The profile functions take that path in the ANSI code page. Where the long
// path has characters outside the page, the short (8.3) form that Windows
// gives is used: the settings file's own, when the file exists (its short
// name then stands for the base name), or else the directory's, when the
// base name needs none. Where neither helps, the long forms are given, and
// the add-in refuses them when it is activated.
#include "platform/windows/module_file.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"

#include <optional>

namespace vantelo::win {

namespace {

struct Location {
  std::wstring directory;
  std::wstring baseName;
};

// A full path as its directory (without the separator) and its file name
// without the extension. A full path always holds a separator.
Location Split(const std::wstring& path) {
  const std::size_t nameStart = path.find_last_of(L"\\/") + 1;
  std::wstring name = path.substr(nameStart);
  if (const auto dot = name.rfind(L'.'); dot != std::wstring::npos)
    name.resize(dot);
  return {path.substr(0, nameStart - 1), name};
}

bool AnsiHolds(const std::wstring& text) { return WideFromAnsi(AnsiFromWide(text)) == text; }

// The short form of an existing file or directory, when the ANSI code page
// holds it.
std::optional<std::wstring> AnsiShortForm(const std::wstring& path) {
  std::wstring shortPath(path.size() + 1, L'\0');
  for (;;) {
    const DWORD length =
        GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0)
      return std::nullopt;
    if (length < shortPath.size()) {
      shortPath.resize(length);
      break;
    }
    shortPath.resize(length); // the size needed, terminator included
  }
  if (!AnsiHolds(shortPath))
    return std::nullopt;
  return shortPath;
}

Location SettingsLocation() {
  Location location = Split(OwnModuleFileName());
  const bool directoryHeld = AnsiHolds(location.directory);
  const bool nameHeld = AnsiHolds(location.baseName);
  if (directoryHeld && nameHeld)
    return location;
  if (const auto file = AnsiShortForm(location.directory + L"\\" + location.baseName + L".ini"))
    return Split(*file);
  if (nameHeld)
    if (const auto directory = AnsiShortForm(location.directory))
      location.directory = *directory;
  return location;
}

class WindowsModulePath final : public ModulePath {
public:
  std::string Directory() override { return Utf8FromWide(SettingsLocation().directory); }
  std::string BaseName() override { return Utf8FromWide(SettingsLocation().baseName); }
};

} // namespace

std::shared_ptr<ModulePath> MakeModulePath() { return std::make_shared<WindowsModulePath>(); }

} // namespace vantelo::win
