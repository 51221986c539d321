// A handled save of a drawing as its number of views grows, from 1 sheet of
// 10 views to 100 sheets of 100 views, once with a few scales shared by all
// views and once with every view at its own scale. per_view is the time of
// one save divided by the number of views.
#include "bench/bench_documents.h"
#include "bench/save_scene.h"

#include <benchmark/benchmark.h>

namespace vantelo::bench {
namespace {

void BM_DrawingSave(benchmark::State& state, ScaleMix mix) {
  const auto sheets = static_cast<int>(state.range(0));
  const auto viewsPerSheet = static_cast<int>(state.range(1));
  SaveScene scene;
  sim::DocumentData* drawing = scene.Open(DrawingWithViews(sheets, viewsPerSheet, mix), state);
  if (!drawing)
    return;
  for (auto _ : state)
    scene.Save(*drawing, state);
  const double views = static_cast<double>(sheets) * viewsPerSheet;
  state.counters["views"] = views;
  state.counters["per_view"] = benchmark::Counter(
      views, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["host_calls"] = static_cast<double>(scene.h.host.OperationCount());
}

void ViewCounts(benchmark::internal::Benchmark* b) {
  b->ArgNames({"sheets", "views"});
  b->Args({1, 10})->Args({1, 100})->Args({10, 100})->Args({100, 100});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_DrawingSave, FewScales, ScaleMix::Few)->Apply(ViewCounts);
BENCHMARK_CAPTURE(BM_DrawingSave, DistinctScales, ScaleMix::AllDistinct)->Apply(ViewCounts);

} // namespace
} // namespace vantelo::bench
