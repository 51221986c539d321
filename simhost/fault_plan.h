// Planned failures of host operations: the Nth operation overall, every call
// of a named operation, or only its k-th call. Numbers count from 1 since the
// operation record was last cleared.
#pragma once

#include "simhost/operation_record.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantelo::sim {

class FaultPlan {
public:
  // Each fails (E_INVALIDARG) on an operation name the host does not have or
  // on a number 0.
  void FailNth(std::uint64_t n, std::int32_t code);
  void FailEvery(std::string_view operation, std::int32_t code);
  void FailCall(std::string_view operation, std::uint64_t k, std::int32_t code);
  void Clear();

  // The code a call fails with, if any rule picks it. Every host operation
  // asks, and most plans are empty.
  std::optional<std::int32_t> FaultFor(OperationId operation,
                                       OperationRecord::Position position) const {
    if (rules_.empty())
      return std::nullopt;
    return Match(operation, position);
  }

private:
  std::optional<std::int32_t> Match(OperationId operation,
                                    OperationRecord::Position position) const;

  struct Rule {
    std::optional<OperationId> operation; // none: any operation
    std::uint64_t call;                   // 0: every call
    std::int32_t code;
  };
  std::vector<Rule> rules_;
};

} // namespace vantelo::sim
