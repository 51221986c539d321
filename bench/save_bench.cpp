// A handled save notification (timing 4097) of each kind of document, with
// every writer enabled: the settings load from the file on disk and every
// writer that applies, through the stand-in host.
#include "bench/bench_documents.h"
#include "bench/save_scene.h"

#include <benchmark/benchmark.h>

namespace vantelo::bench {
namespace {

void BM_HandledSave(benchmark::State& state, sim::DocumentData (*make)()) {
  SaveScene scene;
  sim::DocumentData* document = scene.Open(make(), state);
  if (!document)
    return;
  for (auto _ : state)
    scene.Save(*document, state);
  state.counters["host_calls"] = static_cast<double>(scene.h.host.OperationCount());
}

BENCHMARK_CAPTURE(BM_HandledSave, Part, &Part)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HandledSave, Assembly, &Assembly)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HandledSave, SheetMetalPart, &SheetMetalPart)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HandledSave, Drawing, &SmallDrawing)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vantelo::bench
