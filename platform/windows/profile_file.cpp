// The settings file through the system's profile functions, in their ANSI
// forms: the texts arrive already in the ANSI code page.
#include "platform/windows/windows_services.h"

#include <windows.h>

#include <algorithm>

namespace vantelo::win {

namespace {

class WindowsProfileFile final : public ProfileFile {
public:
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override {
    if (buffer.empty())
      return 0;
    const auto size = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    return GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                    buffer.data(), size, file.c_str());
  }

  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           FALSE;
  }
};

} // namespace

std::shared_ptr<ProfileFile> MakeProfileFile() { return std::make_shared<WindowsProfileFile>(); }

} // namespace vantelo::win
