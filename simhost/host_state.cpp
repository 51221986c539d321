#include "simhost/host_state.h"

#include "addin/failure.h"

#include <string>

namespace vantelo::sim {

void HostState::Enter(OperationId operation) {
  const auto position = record.Append(operation);
  if (const auto code = faults.FaultFor(operation, position))
    throw Failure(*code, "injected fault in " + std::string(operationNames[operation]) +
                             " (operation " + std::to_string(position.overall) + ")");
}

std::shared_ptr<DocumentData> HostState::Share(const DocumentData* document) const {
  for (const auto& owned : documents)
    if (owned.get() == document)
      return owned;
  return nullptr;
}

} // namespace vantelo::sim
