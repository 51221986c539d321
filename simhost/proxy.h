// The common part of every object the stand-in host hands out: it shares the
// host's state, counts as one held reference of its interface for as long as
// it lives, and starts each operation through the record and the fault plan.
#pragma once

#include "simhost/host_state.h"
#include "simhost/status_codes.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>

namespace vantelo::sim {

class Proxy {
protected:
  Proxy(StatePtr state, std::string_view interfaceName)
      : state_(std::move(state)), references_(state_->references.Acquire(interfaceName)) {}
  ~Proxy() { ReferenceLedger::Release(references_); }
  Proxy(const Proxy&) = delete;
  Proxy& operator=(const Proxy&) = delete;

  void Enter(OperationId operation) const { state_->Enter(operation); }
  HostState& Host() const { return *state_; }
  const StatePtr& State() const { return state_; }

private:
  StatePtr state_;
  std::size_t& references_; // of this proxy's interface, in the host's ledger
};

using DocumentHandle = std::weak_ptr<DocumentData>;

// A proxy of something inside one document. The document is looked up anew on
// every use, so an object of a closed document fails instead of dangling.
class DocumentBound : protected Proxy {
protected:
  DocumentBound(StatePtr state, std::string_view interfaceName, DocumentHandle document)
      : Proxy(std::move(state), interfaceName), document_(std::move(document)) {}

  std::shared_ptr<DocumentData> OpenDocument() const;
  void RequireOpen() const { OpenDocument(); }
  const DocumentHandle& Handle() const { return document_; }

private:
  DocumentHandle document_;
};

} // namespace vantelo::sim
