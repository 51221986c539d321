// Loading the 26 file-backed settings from a complete settings file, as every
// handled save does before its writers run.
#include "support/addin_harness.h"

#include <benchmark/benchmark.h>

#include <string>

namespace vantelo::bench {
namespace {

void BM_SettingsLoad(benchmark::State& state) {
  test::AddinHarness h;
  h.EnableAllWriters();
  // The path as the save dispatch builds it, next to the module.
  std::string iniFile = h.dir.Path() + "\\Vantelo.ini";
  clsVanteloTestAccess::LoadSettings(*h.addin, iniFile); // writes every default back
  const std::string settings = h.ReadSettings();
  for (auto _ : state)
    clsVanteloTestAccess::LoadSettings(*h.addin, iniFile);
  if (!h.addin->EnableViewScale || h.ReadSettings() != settings)
    state.SkipWithError("the settings file was not read as written");
}

BENCHMARK(BM_SettingsLoad)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vantelo::bench
