// The record of host operations called since the last reset: their order,
// their number, and how often each was called.
#pragma once

#include "simhost/operations.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo::sim {

class OperationRecord {
public:
  // Appends a call; returns its number (from 1 since the last reset) and the
  // number of calls of this operation so far, this one included.
  struct Position {
    std::uint64_t overall;
    std::uint64_t ofOperation;
  };
  Position Append(OperationId operation);

  std::vector<std::string> Names() const;
  std::uint64_t Count() const { return count_; }
  std::uint64_t CallsOf(OperationId operation) const { return perOperation_[operation]; }
  void Clear();

private:
  std::vector<OperationId> calls_;
  std::uint64_t count_ = 0;
  std::array<std::uint64_t, operationCount> perOperation_{};
};

} // namespace vantelo::sim
