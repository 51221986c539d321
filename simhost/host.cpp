#include "simhost/host.h"

#include "addin/failure.h"
#include "simhost/host_state.h"
#include "simhost/proxies.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace vantelo::sim {

namespace {

void requireDistinctSets(const DocumentData& document) {
  std::unordered_map<std::string, const std::string*> seen; // folded -> as first listed
  for (const PropertySetData& set : document.propertySets) {
    const auto [first, added] = seen.emplace(caseFolded(set.formatId), &set.formatId);
    if (!added)
      throw Failure(hresult::InvalidArg, "document '" + document.name + "' lists property set " +
                                             *first->second + " twice");
  }
}

} // namespace

Host::Host() : state_(std::make_shared<HostState>()) {}
Host::~Host() = default;

DocumentData& Host::addDocument(DocumentData document) {
  requireDistinctSets(document);
  state_->documents.push_back(std::make_shared<DocumentData>(std::move(document)));
  return *state_->documents.back();
}

void Host::removeDocument(const DocumentData& document) {
  auto& documents = state_->documents;
  const auto it = std::find_if(documents.begin(), documents.end(),
                               [&](const auto& owned) { return owned.get() == &document; });
  if (it == documents.end())
    throw Failure(hresult::InvalidArg,
                  "document '" + document.name + "' is not a document of this host");
  documents.erase(it);
}

void Host::setActiveDocument(const DocumentData* document) {
  if (!document) {
    state_->activeDocument.reset();
    return;
  }
  auto owned = state_->share(document);
  if (!owned)
    throw Failure(hresult::InvalidArg,
                  "document '" + document->name + "' is not a document of this host");
  state_->activeDocument = owned;
}

DocumentData* Host::activeDocument() const { return state_->activeDocument.lock().get(); }

std::size_t Host::documentCount() const { return state_->documents.size(); }

DocumentData& Host::document(std::size_t index) const {
  if (index >= state_->documents.size())
    throw Failure(hresult::BadIndex, "the host has no document " + std::to_string(index) +
                                         " (it has " + std::to_string(documentCount()) + ")");
  return *state_->documents[index];
}

DocumentData* Host::findDocument(std::string_view name) const {
  for (const auto& owned : state_->documents)
    if (owned->name == name)
      return owned.get();
  return nullptr;
}

const std::string& Host::statusBarText() const { return state_->statusBarText; }

Ref<ApplicationAddInSite> Host::AddInSite() { return newAddInSite(state_); }

SaveOutcome Host::FireSaveDocument(const DocumentData* document, std::int32_t timing,
                                   std::int32_t handlingCode) {
  std::shared_ptr<DocumentData> owned;
  if (document) {
    owned = state_->share(document);
    if (!owned)
      throw Failure(hresult::InvalidArg,
                    "document '" + document->name + "' is not a document of this host");
  }

  // Sinks connected or disconnected by a sink during the notification: a
  // new one waits for the next save, a disconnected one is not called.
  std::vector<std::uint64_t> connections;
  for (const auto& [number, sink] : state_->sinks)
    connections.push_back(number);

  SaveOutcome outcome;
  for (const auto number : connections) {
    const auto it = state_->sinks.find(number);
    if (it == state_->sinks.end())
      continue;
    auto* sink = it->second;
    ++outcome.sinksNotified;
    try {
      const Ref<Document> documentObject = owned ? newDocument(state_, owned) : nullptr;
      const Ref<HostObject> context = newSaveContext(state_);
      sink->OnSaveDocument(documentObject, timing, context, handlingCode);
    } catch (const Failure& failure) {
      if (outcome.succeeded) {
        outcome.succeeded = false;
        outcome.code = failure.code();
        outcome.message = failure.what();
      }
    }
  }
  outcome.handlingCode = handlingCode;
  return outcome;
}

std::vector<std::string> Host::operations() const { return state_->record.names(); }

std::uint64_t Host::operationCount() const { return state_->record.count(); }

std::uint64_t Host::callsOf(std::string_view operation) const {
  const auto id = findOperation(operation);
  if (!id)
    throw Failure(hresult::InvalidArg, "'" + std::string(operation) + "' is not a host operation");
  return state_->record.callsOf(*id);
}

void Host::clearOperations() { state_->record.clear(); }

void Host::failOperationNumber(std::uint64_t n, std::int32_t code) {
  state_->faults.failNth(n, code);
}

void Host::failOperation(std::string_view operation, std::int32_t code) {
  state_->faults.failEvery(operation, code);
}

void Host::failOperationCall(std::string_view operation, std::uint64_t k, std::int32_t code) {
  state_->faults.failCall(operation, k, code);
}

void Host::clearFaults() { state_->faults.clear(); }

std::size_t Host::liveReferences() const { return state_->references.total(); }

std::map<std::string, std::size_t> Host::liveReferencesByInterface() const {
  return state_->references.byInterface();
}

std::size_t Host::liveConnections() const { return state_->sinks.size(); }

} // namespace vantelo::sim
