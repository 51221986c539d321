#include "simhost/host.h"

#include "addin/failure.h"
#include "platform/ascii_case.h"
#include "simhost/host_state.h"
#include "simhost/proxies.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace vantelo::sim {

namespace {

void RequireDistinctSets(const DocumentData& document) {
  std::unordered_map<std::string, const std::string*> seen; // folded -> as first listed
  for (const PropertySetData& set : document.propertySets) {
    const auto [first, added] = seen.emplace(AsciiLower(set.formatId), &set.formatId);
    if (!added)
      throw Failure(hresult::InvalidArg, "document '" + document.name + "' lists property set " +
                                             *first->second + " twice");
  }
}

} // namespace

Host::Host() : state_(std::make_shared<HostState>()) {}
Host::~Host() = default;

DocumentData& Host::AddDocument(DocumentData document) {
  RequireDistinctSets(document);
  state_->documents.push_back(std::make_shared<DocumentData>(std::move(document)));
  return *state_->documents.back();
}

void Host::RemoveDocument(const DocumentData& document) {
  auto& documents = state_->documents;
  const auto it = std::find_if(documents.begin(), documents.end(),
                               [&](const auto& owned) { return owned.get() == &document; });
  if (it == documents.end())
    throw Failure(hresult::InvalidArg,
                  "document '" + document.name + "' is not a document of this host");
  documents.erase(it);
}

void Host::SetActiveDocument(const DocumentData* document) {
  if (!document) {
    state_->activeDocument.reset();
    return;
  }
  auto owned = state_->Share(document);
  if (!owned)
    throw Failure(hresult::InvalidArg,
                  "document '" + document->name + "' is not a document of this host");
  state_->activeDocument = owned;
}

DocumentData* Host::ActiveDocument() const { return state_->activeDocument.lock().get(); }

std::size_t Host::DocumentCount() const { return state_->documents.size(); }

DocumentData& Host::Document(std::size_t index) const {
  if (index >= state_->documents.size())
    throw Failure(hresult::BadIndex, "the host has no document " + std::to_string(index) +
                                         " (it has " + std::to_string(DocumentCount()) + ")");
  return *state_->documents[index];
}

const std::string& Host::StatusBarText() const { return state_->statusBarText; }

Ref<ApplicationAddInSite> Host::AddInSite() { return NewAddInSite(state_); }

SaveOutcome Host::FireSaveDocument(const DocumentData* document, std::int32_t timing,
                                   std::int32_t handlingCode) {
  std::shared_ptr<DocumentData> owned;
  if (document) {
    owned = state_->Share(document);
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
      const Ref<vantelo::Document> documentObject = owned ? NewDocument(state_, owned) : nullptr;
      const Ref<HostObject> context = NewSaveContext(state_);
      sink->OnSaveDocument(documentObject, timing, context, handlingCode);
    } catch (const Failure& failure) {
      if (outcome.succeeded) {
        outcome.succeeded = false;
        outcome.code = failure.Code();
        outcome.message = failure.what();
      }
    }
  }
  outcome.handlingCode = handlingCode;
  return outcome;
}

std::vector<std::string> Host::Operations() const { return state_->record.Names(); }

std::uint64_t Host::OperationCount() const { return state_->record.Count(); }

std::uint64_t Host::CallsOf(std::string_view operation) const {
  const auto id = FindOperation(operation);
  if (!id)
    throw Failure(hresult::InvalidArg, "'" + std::string(operation) + "' is not a host operation");
  return state_->record.CallsOf(*id);
}

void Host::ClearOperations() { state_->record.Clear(); }

void Host::FailOperationNumber(std::uint64_t n, std::int32_t code) {
  state_->faults.FailNth(n, code);
}

void Host::FailOperation(std::string_view operation, std::int32_t code) {
  state_->faults.FailEvery(operation, code);
}

void Host::FailOperationCall(std::string_view operation, std::uint64_t k, std::int32_t code) {
  state_->faults.FailCall(operation, k, code);
}

void Host::ClearFaults() { state_->faults.Clear(); }

std::size_t Host::LiveReferences() const { return state_->references.Total(); }

std::map<std::string, std::size_t> Host::LiveReferencesByInterface() const {
  return state_->references.ByInterface();
}

std::size_t Host::LiveConnections() const { return state_->sinks.size(); }

} // namespace vantelo::sim
