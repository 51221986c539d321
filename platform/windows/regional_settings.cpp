// The decimal and time separators of the user's regional settings, read at
// each use so that a change takes effect without restarting the host.
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_services.h"

#include <windows.h>

namespace vantelo::win {

namespace {

// The locale value, or the fallback when the system cannot give it.
std::string UserLocaleText(LCTYPE item, const char* fallback) {
  wchar_t buffer[LOCALE_NAME_MAX_LENGTH] = {};
  const int length =
      GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer, LOCALE_NAME_MAX_LENGTH);
  if (length <= 1)
    return fallback;
  return Utf8FromWide(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

class WindowsRegionalSettings final : public RegionalSettings {
public:
  std::string DecimalSeparator() override { return UserLocaleText(LOCALE_SDECIMAL, "."); }
  std::string TimeSeparator() override { return UserLocaleText(LOCALE_STIME, ":"); }
};

} // namespace

std::shared_ptr<RegionalSettings> MakeRegionalSettings() {
  return std::make_shared<WindowsRegionalSettings>();
}

} // namespace vantelo::win
