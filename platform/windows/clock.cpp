// The local date and time of day, from the system clock.
#include "platform/windows/windows_services.h"

#include <windows.h>

namespace vantelo::win {

namespace {

class WindowsClock final : public Clock {
public:
  LocalDateTime Now() override {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  }
};

} // namespace

std::shared_ptr<Clock> MakeClock() { return std::make_shared<WindowsClock>(); }

} // namespace vantelo::win
