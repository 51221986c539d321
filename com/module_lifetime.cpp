#include "com/module_lifetime.h"

#include <atomic>

namespace vantelo::com {

namespace {
// Atomic: DllCanUnloadNow may be asked from another thread than the one
// that releases the objects.
std::atomic<long> liveObjects{0};
std::atomic<long> locks{0};
} // namespace

ModuleReference::ModuleReference() noexcept { ++liveObjects; }
ModuleReference::~ModuleReference() { --liveObjects; }

void LockModule() noexcept { ++locks; }
// An unlock without a lock changes nothing: a count below zero would keep
// the module from ever unloading, and a later lock from holding it.
void UnlockModule() noexcept {
  long held = locks.load();
  while (held > 0 && !locks.compare_exchange_weak(held, held - 1)) {
  }
}

bool ModuleCanUnload() noexcept { return liveObjects.load() == 0 && locks.load() == 0; }

} // namespace vantelo::com
