#include "simhost/fault_plan.h"

#include "addin/failure.h"

#include <string>

namespace vantelo::sim {

namespace {

OperationId KnownOperation(std::string_view name) {
  const auto id = FindOperation(name);
  if (!id)
    throw Failure(hresult::InvalidArg,
                  "fault plan: '" + std::string(name) + "' is not a host operation");
  return *id;
}

void RequireNumber(std::uint64_t n, const char* what) {
  if (n == 0)
    throw Failure(hresult::InvalidArg, std::string("fault plan: ") + what + " counts from 1");
}

} // namespace

void FaultPlan::FailNth(std::uint64_t n, std::int32_t code) {
  RequireNumber(n, "the operation number");
  rules_.push_back({std::nullopt, n, code});
}

void FaultPlan::FailEvery(std::string_view operation, std::int32_t code) {
  rules_.push_back({KnownOperation(operation), 0, code});
}

void FaultPlan::FailCall(std::string_view operation, std::uint64_t k, std::int32_t code) {
  const auto id = KnownOperation(operation);
  RequireNumber(k, "the call number");
  rules_.push_back({id, k, code});
}

void FaultPlan::Clear() { rules_.clear(); }

std::optional<std::int32_t> FaultPlan::Match(OperationId operation,
                                             OperationRecord::Position position) const {
  for (const auto& rule : rules_) {
    if (!rule.operation) {
      if (rule.call == position.overall)
        return rule.code;
    } else if (*rule.operation == operation &&
               (rule.call == 0 || rule.call == position.ofOperation)) {
      return rule.code;
    }
  }
  return std::nullopt;
}

} // namespace vantelo::sim
