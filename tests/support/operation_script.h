// The host operations an entry point of the add-in makes on a given document,
// in order, each marked with the procedure that makes it and whether its
// failure reaches the caller ("outward": made before that procedure's error
// skipping, or by a procedure that has none) or is swallowed.
//
// The scripts are written out from the add-in's intended behaviour (which
// operations each writer makes, in which order, and where its error skipping
// starts), independently of the code under test, so that a fault sweep can
// check the code's clean run against them and predict the outcome of each
// injected fault. They assume documents on which every operation succeeds:
// every property a writer replaces exists (so every delete runs), every
// sheet has at least one view, a part has mass properties.
#pragma once

#include "simhost/document_data.h"

#include <string>
#include <vector>

namespace vantelo::test {

struct ScriptedOperation {
  std::string name;  // "Interface.Member", as the stand-in host records it
  std::string owner; // "Activate", "dispatch", "command" or a writer's name
  bool outward = false;
  // Mass_Volume's reads: when this one fails, the mass or the volume is not
  // known and is written nowhere.
  bool readsMass = false;
  bool readsVolume = false;
};

using OperationScript = std::vector<ScriptedOperation>;

// The operation names alone.
std::vector<std::string> Names(const OperationScript& script);

// Activate on a fresh object.
OperationScript ActivateScript();

// The save notification with timing code 4097 and every writer enabled, on
// the active document (null: none). ExcludeFirstInAllScales as given.
OperationScript SaveScript(const sim::DocumentData* active, bool excludeFirstInAllScales);

// Command 1 on the active document (null: none).
OperationScript CommandScript(const sim::DocumentData* active, bool excludeFirstInAllScales);

} // namespace vantelo::test
