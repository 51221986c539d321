// The host's count of object references held outside it, by interface name.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace vantelo::sim {

class ReferenceLedger {
public:
  // The interface name must outlive the ledger (proxies pass literals).
  void acquire(std::string_view interfaceName) { ++live_[interfaceName]; }
  void release(std::string_view interfaceName);

  std::size_t total() const;
  // Only interfaces with live references appear.
  std::map<std::string, std::size_t> byInterface() const;

private:
  std::map<std::string_view, std::size_t> live_;
};

} // namespace vantelo::sim
