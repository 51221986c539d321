// Clocks: the system's local time, and a settable one for tests.
#pragma once

#include "platform/services.h"

#include <cstddef>
#include <vector>

namespace vantelo {

// The local date and time (time zone from TZ or the system, read at each call).
class SystemClock : public Clock {
public:
  LocalDateTime Now() override;
};

// A clock that says what it is told. With a sequence, each call takes the next
// time and the last one stays, so a test can let midnight pass between two
// calls of one save.
class FixedClock : public Clock {
public:
  FixedClock() = default;
  explicit FixedClock(LocalDateTime time);

  void Set(LocalDateTime time);
  void SetSequence(std::vector<LocalDateTime> times); // empty: keeps the last time
  std::size_t Calls() const;                          // calls of Now() so far

  LocalDateTime Now() override;

private:
  std::vector<LocalDateTime> pending_; // times still to come, the next first
  LocalDateTime current_;
  std::size_t calls_ = 0;
};

} // namespace vantelo
