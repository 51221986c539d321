#include "simhost/reference_ledger.h"

namespace vantelo::sim {

std::size_t ReferenceLedger::Total() const {
  std::size_t sum = 0;
  for (const auto& [name, count] : live_)
    sum += count;
  return sum;
}

std::map<std::string, std::size_t> ReferenceLedger::ByInterface() const {
  std::map<std::string, std::size_t> result;
  for (const auto& [name, count] : live_)
    if (count > 0)
      result.emplace(name, count);
  return result;
}

} // namespace vantelo::sim
