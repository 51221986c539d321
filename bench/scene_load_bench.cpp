// Loading a scene as `vantelo save` does: the text parsed and checked (names
// and identifiers distinct) and the stand-in host taking its documents, for
// 1,000 to 100,000 documents, or for one document with as many user-defined
// properties. per_item is the time of one load divided by that number.
#include "cli/addin_session.h"
#include "cli/scene_loader.h"
#include "platform/clocks.h"
#include "platform/module_path.h"
#include "platform/regional_settings.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace vantelo::bench {
namespace {

enum class Items { Documents, Properties };

std::string SceneText(Items items, int count) {
  std::string list;
  for (int i = 0; i < count; ++i) {
    list += i == 0 ? "\n    " : ",\n    ";
    list += items == Items::Documents
                ? "{\"name\": \"Part" + std::to_string(i) + ".ipt\"}"
                : "{\"name\": \"Property" + std::to_string(i) + "\", \"value\": \"v\"}";
  }
  if (items == Items::Documents)
    return "{\"documents\": [" + list + "]}";
  return "{\"documents\": [{\"name\": \"P.ipt\", \"propertySets\": [\n"
         "  {\"fmtid\": \"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\", \"properties\": [" +
         list + "]}]}]}";
}

void BM_SceneLoad(benchmark::State& state, Items items) {
  const auto count = static_cast<int>(state.range(0));
  const std::string text = SceneText(items, count);
  const cli::SessionPlatform platform{std::make_shared<FixedRegionalSettings>(),
                                      std::make_shared<FixedClock>(),
                                      std::make_shared<FixedModulePath>("/nonexistent", "V")};
  for (auto _ : state) {
    const cli::Scene scene = cli::ParseScene(text, "bench.json");
    const cli::AddinSession session(scene, platform);
    benchmark::DoNotOptimize(&session);
  }
  state.counters["bytes"] = static_cast<double>(text.size());
  state.counters["per_item"] = benchmark::Counter(
      count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ItemCounts(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_SceneLoad, Documents, Items::Documents)->Apply(ItemCounts);
BENCHMARK_CAPTURE(BM_SceneLoad, Properties, Items::Properties)->Apply(ItemCounts);

} // namespace
} // namespace vantelo::bench
