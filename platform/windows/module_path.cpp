// Where the add-in's module lies: its directory and its base name, from the
// module's own path.
#include "platform/windows/module_file.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"

namespace vantelo::win {

namespace {

class WindowsModulePath final : public ModulePath {
public:
  std::string Directory() override {
    const std::wstring path = OwnModuleFileName();
    return Utf8FromWide(std::wstring_view(path).substr(0, FileNameStart(path) - 1));
  }

  std::string BaseName() override {
    const std::wstring path = OwnModuleFileName();
    std::wstring_view name = std::wstring_view(path).substr(FileNameStart(path));
    if (const auto dot = name.rfind(L'.'); dot != std::wstring_view::npos)
      name = name.substr(0, dot);
    return Utf8FromWide(name);
  }

private:
  // A module path is always absolute, so it holds at least one separator.
  static std::size_t FileNameStart(const std::wstring& path) {
    return path.find_last_of(L"\\/") + 1;
  }
};

} // namespace

std::shared_ptr<ModulePath> MakeModulePath() { return std::make_shared<WindowsModulePath>(); }

} // namespace vantelo::win
