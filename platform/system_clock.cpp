// The system's local time, through the C library (POSIX).
#include "platform/clocks.h"

#include <ctime>

namespace vantelo {

LocalDateTime SystemClock::Now() {
  ::tzset(); // notice a changed TZ (localtime_r need not do that itself)
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (::localtime_r(&now, &tm) == nullptr)
    return LocalDateTime{};
  LocalDateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec; // a leap second reads as :59
  return t;
}

} // namespace vantelo
