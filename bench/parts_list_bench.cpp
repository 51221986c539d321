// UpdateTotalMassInPartsList on a parts list of 10 to 10,000 rows, with the
// four mass units mixed. per_row is the time of one update divided by the
// number of rows.
#include "bench/bench_documents.h"
#include "support/addin_harness.h"

#include <benchmark/benchmark.h>

namespace vantelo::bench {
namespace {

void BM_PartsListUpdate(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  test::AddinHarness h;
  h.Activate();
  clsVantelo& addin = *h.addin;
  test::UsePartsListColumns(addin);
  addin.SuppressError = true;
  sim::DocumentData& drawing = h.host.AddDocument(DrawingWithPartsList(rows));
  h.host.SetActiveDocument(&drawing);

  for (auto _ : state) {
    h.host.ClearOperations();
    addin.UpdateTotalMassInPartsList();
  }
  if (test::UserProperty(drawing, "TotalMass").empty())
    state.SkipWithError("the update failed");
  state.counters["per_row"] = benchmark::Counter(
      rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["host_calls"] = static_cast<double>(h.host.OperationCount());
}

BENCHMARK(BM_PartsListUpdate)
    ->ArgName("rows")
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vantelo::bench
