// What the stand-in host knows: its documents and application state, the
// connected event sinks, and the test instruments (operation record, fault
// plan, reference ledger). Shared by the Host and every proxy it hands out, so
// no proxy outlives it.
#pragma once

#include "addin/host_model.h"
#include "simhost/document_data.h"
#include "simhost/fault_plan.h"
#include "simhost/operation_record.h"
#include "simhost/reference_ledger.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantelo::sim {

struct HostState {
  std::vector<std::shared_ptr<DocumentData>> documents;
  std::weak_ptr<DocumentData> activeDocument;
  std::string statusBarText;

  std::map<std::uint64_t, ApplicationEventsSink*> sinks; // by connection number
  std::uint64_t nextConnection = 1;

  OperationRecord record;
  FaultPlan faults;
  ReferenceLedger references;

  // The start of every host operation: records the call, then fails it if
  // the fault plan says so, before the operation has any effect.
  void Enter(OperationId operation);

  // The shared owner of a document of this host; null when it is not one.
  std::shared_ptr<DocumentData> Share(const DocumentData* document) const;
};

using StatePtr = std::shared_ptr<HostState>;

} // namespace vantelo::sim
