#include "platform/clocks.h"

namespace vantelo {

FixedClock::FixedClock(LocalDateTime time) : current_(time) {}

void FixedClock::Set(LocalDateTime time) {
  pending_.clear();
  current_ = time;
}

void FixedClock::SetSequence(std::vector<LocalDateTime> times) {
  pending_ = std::move(times);
}

std::size_t FixedClock::Calls() const {
  return calls_;
}

LocalDateTime FixedClock::Now() {
  ++calls_;
  if (!pending_.empty()) {
    current_ = pending_.front();
    pending_.erase(pending_.begin());
  }
  return current_;
}

} // namespace vantelo
