// The floor of a save through the module: the same host calls, in the same
// order, made directly on the COM stand-in host's objects by a hand-written
// client, so that what they cost can be told apart from what the module adds.
// Every call is one Invoke (and GetIDsOfNames where the module calls by name);
// a failed call leaves an empty result, as the module's error skipping does.
#pragma once

#include "com/com_ptr.h"
#include "com_host/world.h"

#include <memory>

namespace vbench {

using vantelo::com::ComPtr;

class DirectSave {
public:
  // The client reaches the application through the add-in site, once.
  explicit DirectSave(const ComPtr<IDispatch>& addInSite);
  ~DirectSave();
  DirectSave(const DirectSave&) = delete;
  DirectSave& operator=(const DirectSave&) = delete;

  // The calls of a handled save of the active document when it is a drawing
  // (time stamp, first view scale, all view scales, paper size), a part
  // (time stamp, mass and volume), or a document only the time stamp applies
  // to.
  void Drawing();
  void Part();
  void Other();

private:
  class Client;
  std::unique_ptr<Client> client_;
};

} // namespace vbench
