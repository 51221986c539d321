// ScaleToText alone, and the fraction search inside it next to the full
// search over all 999 denominators that defines its result. Each iteration
// formats one scale; the scales cycle through 1024 different ones spread over
// reductions and enlargements.
#include "bench/bench_documents.h"
#include "support/addin_harness.h"
#include "writers/nearest_fraction.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace vantelo::bench {
namespace {

constexpr std::size_t kScales = 1024; // a power of two, for the cycling mask

std::vector<float> Scales() {
  std::vector<float> scales;
  for (double scale : ViewScales(kScales, ScaleMix::AllDistinct))
    scales.push_back(static_cast<float>(scale));
  return scales;
}

std::vector<float> FractionalParts() {
  std::vector<float> parts;
  for (float scale : Scales())
    parts.push_back(scale - std::trunc(scale));
  return parts;
}

void BM_ScaleToText(benchmark::State& state) {
  test::AddinHarness h;
  h.UseDefaultSettings();
  const std::vector<float> scales = Scales();
  std::size_t k = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        clsVanteloTestAccess::ScaleToText(*h.addin, scales[k++ & (kScales - 1)], false));
}

template <Fraction (*Search)(float)> void BM_FractionSearch(benchmark::State& state) {
  const std::vector<float> parts = FractionalParts();
  std::size_t k = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(Search(parts[k++ & (kScales - 1)]));
}

BENCHMARK(BM_ScaleToText)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_FractionSearch<NearestFraction>)->Name("BM_NearestFraction");
BENCHMARK(BM_FractionSearch<NearestFractionByFullSearch>)->Name("BM_NearestFractionByFullSearch");

} // namespace
} // namespace vantelo::bench
