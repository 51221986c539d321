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
void UnlockModule() noexcept { --locks; }

bool ModuleCanUnload() noexcept { return liveObjects.load() == 0 && locks.load() == 0; }

} // namespace vantelo::com
