// Loading a scene as `vantelo save` does: the text parsed and checked (names
// and identifiers distinct) and the stand-in host taking its documents, for
// 1,000 to 10,000 documents, or for one document with 1,000 to 100,000
// user-defined properties. per_item is the time of one load divided by that
// number. Then scenes at the loader's limits.
#include "cli/addin_session.h"
#include "cli/scene_loader.h"
#include "cli/usage_error.h"
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

// At most 10,000: the most a scene may hold.
void DocumentCounts(benchmark::internal::Benchmark* b) {
  b->ArgName("n")->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_SceneLoad, Documents, Items::Documents)->Apply(DocumentCounts);
BENCHMARK_CAPTURE(BM_SceneLoad, Properties, Items::Properties)->Apply(ItemCounts);

// Scenes at the loader's limits, each as large as it may be: 0: 64 MiB of
// '[' (refused at the 65th); 1: a million views (the most values; refused
// at the next one); 2: the most documents; 3: one property name of 64 MiB.
std::string LimitScene(std::int64_t kind) {
  constexpr std::size_t kMiB = 1024 * 1024;
  auto repeated = [](std::string_view item, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
      text.append(i == 0 ? "" : ",").append(item);
    return text;
  };
  switch (kind) {
  case 0:
    return std::string(64 * kMiB, '[');
  case 1:
    return R"({"documents": [{"sheets": [{"views": [)" +
           repeated("0.5", cli::kSceneValueLimit - 9) + "]}]}]}";
  case 2:
    return "{\"documents\": [" + repeated("{}", cli::kSceneDocumentLimit) + "]}";
  default:
    return R"({"documents": [{"propertySets": [{"fmtid": "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}",
              "properties": [{"name": ")" +
           std::string(64 * kMiB - 200, 'n') + "\"}]}]}]}";
  }
}

void BM_SceneLoadAtTheLimits(benchmark::State& state) {
  const std::string text = LimitScene(state.range(0));
  const cli::SessionPlatform platform{std::make_shared<FixedRegionalSettings>(),
                                      std::make_shared<FixedClock>(),
                                      std::make_shared<FixedModulePath>("/nonexistent", "V")};
  for (auto _ : state) {
    try {
      const cli::Scene scene = cli::ParseScene(text, "bench.json");
      const cli::AddinSession session(scene, platform);
      benchmark::DoNotOptimize(&session);
    } catch (const cli::UsageError&) {
      // refused: the time it takes is what is measured
    }
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}

BENCHMARK(BM_SceneLoadAtTheLimits)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vantelo::bench
