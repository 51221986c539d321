// The add-in on the stand-in host, ready for handled saves: a settings file
// with every writer enabled, into which one save has already written every
// default back, so that a timed save only reads it.
#pragma once

#include "simhost/document_data.h"
#include "support/addin_harness.h"

#include <benchmark/benchmark.h>

#include <string>

namespace vantelo::bench {

class SaveScene {
public:
  SaveScene();

  // Adds the document and saves it once; false (with the state marked as
  // skipped) when that save fails or rewrites the settings file a second
  // time.
  sim::DocumentData* Open(sim::DocumentData document, benchmark::State& state);

  // One handled save notification, with the operation record started
  // afresh so that it does not grow from one iteration to the next. Marks
  // the state as skipped when the save fails.
  void Save(sim::DocumentData& document, benchmark::State& state);

  test::AddinHarness h;
};

} // namespace vantelo::bench
