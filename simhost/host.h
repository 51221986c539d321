// The stand-in host: a world of documents that tests and the command-line
// program build directly, handed to the add-in through the host object model.
//
//   sim::Host host;
//   auto& drawing = host.AddDocument({.name = "A.idw", .type = document_type::Drawing,
//                                     .sheets = {{.viewScales = {0.5}}, {}}});
//   host.SetActiveDocument(&drawing);
//   addin.Activate(host.AddInSite(), true);
//   auto outcome = host.FireSaveDocument(&drawing, event_timing::Before, 0);
//
// Besides the world it keeps the test instruments: the record of host
// operations called, the planned faults, and the count of references and
// event connections the add-in holds. Objects handed out share the host's
// state, so they stay safe to use (or fail cleanly) after the Host is gone.
#pragma once

#include "addin/host_model.h"
#include "simhost/document_data.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo::sim {

struct HostState;

// What came of a save notification.
struct SaveOutcome {
  bool succeeded = true;
  std::int32_t code = 0;         // the first failing sink's status code; 0 on success
  std::string message;           // and its message
  std::int32_t handlingCode = 0; // as the sinks left it
  std::size_t sinksNotified = 0;
};

class Host {
public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // --- The world. ---
  // Takes the document in; the reference stays valid until it is removed.
  // Fails (E_INVALIDARG) when two of its property sets share a format
  // identifier.
  DocumentData& AddDocument(DocumentData document);
  // Closes a document: objects handed out for it fail from then on.
  void RemoveDocument(const DocumentData& document);
  // Null: no document is active.
  void SetActiveDocument(const DocumentData* document);
  DocumentData* ActiveDocument() const;
  std::size_t DocumentCount() const;
  DocumentData& Document(std::size_t index) const; // in the order added
  const std::string& StatusBarText() const;

  // --- The add-in's side. ---
  Ref<ApplicationAddInSite> AddInSite();
  // Notifies every connected sink of a save of the document (null: none),
  // each with a fresh document object and context object that the host
  // releases after the call, and the handling code passed on from sink to
  // sink. A sink's Failure is reported in the outcome; the other sinks are
  // still notified.
  SaveOutcome FireSaveDocument(const DocumentData* document, std::int32_t timing,
                               std::int32_t handlingCode);

  // --- The operation record: "Interface.Member" per call, in order. ---
  std::vector<std::string> Operations() const;
  std::uint64_t OperationCount() const;
  std::uint64_t CallsOf(std::string_view operation) const;
  // Starts the record and all operation numbering afresh.
  void ClearOperations();

  // --- Planned faults: the operation throws vantelo::Failure(code) before
  // it has any effect. Numbers count from 1 since ClearOperations. ---
  void FailOperationNumber(std::uint64_t n, std::int32_t code);
  void FailOperation(std::string_view operation, std::int32_t code);
  void FailOperationCall(std::string_view operation, std::uint64_t k, std::int32_t code);
  void ClearFaults();

  // --- References held outside the host. ---
  std::size_t LiveReferences() const;
  // Interface name -> live references; interfaces without any are left out.
  std::map<std::string, std::size_t> LiveReferencesByInterface() const;
  std::size_t LiveConnections() const;

private:
  std::shared_ptr<HostState> state_;
};

} // namespace vantelo::sim
