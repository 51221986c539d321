#include "platform/clocks.h"

namespace vantelo {

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
