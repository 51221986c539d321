#include "simhost/operation_record.h"

namespace vantelo::sim {

OperationRecord::Position OperationRecord::Append(OperationId operation) {
  calls_.push_back(operation);
  return {++count_, ++perOperation_[operation]};
}

std::vector<std::string> OperationRecord::Names() const {
  std::vector<std::string> result;
  result.reserve(calls_.size());
  for (const auto id : calls_)
    result.emplace_back(operationNames[id]);
  return result;
}

void OperationRecord::Clear() {
  calls_.clear();
  count_ = 0;
  perOperation_.fill(0);
}

} // namespace vantelo::sim
