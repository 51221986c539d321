// The host's count of object references held outside it, by interface name.
// Every object handed out counts itself in here (a hash lookup by name) and
// out again through the count it was given; the listing by interface is
// sorted only when asked for.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantelo::sim {

class ReferenceLedger {
public:
  // Counts one more reference of the interface. The interface name must
  // outlive the ledger (proxies pass literals). Returns the interface's
  // count, which stays in place for the ledger's life: the reference is
  // counted out through it.
  std::size_t& Acquire(std::string_view interfaceName) {
    std::size_t& count = live_[interfaceName];
    ++count;
    return count;
  }
  static void Release(std::size_t& count) {
    if (count > 0)
      --count;
  }

  std::size_t Total() const;
  // Only interfaces with live references appear.
  std::map<std::string, std::size_t> ByInterface() const;

private:
  std::unordered_map<std::string_view, std::size_t> live_;
};

} // namespace vantelo::sim
