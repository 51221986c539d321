// The module's object and lock counts: the module may be unloaded only when
// no object it handed out is alive and no client holds a lock on it. These
// two counts are the module's only global state.
#pragma once

namespace vantelo::com {

// Held by every COM object of the module for its whole life.
class ModuleReference {
public:
  ModuleReference() noexcept;
  ~ModuleReference();
  ModuleReference(const ModuleReference&) = delete;
  ModuleReference& operator=(const ModuleReference&) = delete;
};

// IClassFactory::LockServer. An unlock without a matching lock is ignored.
void LockModule() noexcept;
void UnlockModule() noexcept;

bool ModuleCanUnload() noexcept;

} // namespace vantelo::com
