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

FixedClock::FixedClock(LocalDateTime time) : current_(time) {}

void FixedClock::Set(LocalDateTime time) {
  std::lock_guard lock(mutex_);
  pending_.clear();
  current_ = time;
}

void FixedClock::SetSequence(std::vector<LocalDateTime> times) {
  std::lock_guard lock(mutex_);
  pending_ = std::move(times);
}

std::size_t FixedClock::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

LocalDateTime FixedClock::Now() {
  std::lock_guard lock(mutex_);
  ++calls_;
  if (!pending_.empty()) {
    current_ = pending_.front();
    pending_.erase(pending_.begin());
  }
  return current_;
}

} // namespace vantelo
