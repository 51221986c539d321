// The settings tools on large settings files: check and init must stay
// linear, within a few times the cost of one set (one read and one write of
// the whole file), and reading must not depend on the kind of line ends.
#include "cli/settings_check.h"
#include "cli/settings_tool.h"
#include "platform/regional_settings.h"
#include "support/temp_files.h"

#include <benchmark/benchmark.h>

#include <string>

namespace vantelo::bench {
namespace {

// 0: 50 MB of short lines in a section of its own after the add-in's first
// key; 1: one line of 40 MB (a value) in one of the add-in's sections.
std::string LargeSettings(std::int64_t kind) {
  std::string text = "[Global Options]\r\nEnableTimeStamp=True\r\n";
  if (kind == 0) {
    text += "[Extra Data]\r\n";
    for (int i = 0; text.size() < 50u << 20; ++i)
      text += "Key" + std::to_string(i) + "=some value text here\r\n";
  } else {
    text += "[View Scale Options]\r\nHowToDisplayFirstViewScale=" + std::string(40u << 20, 'x') +
            "\r\n";
  }
  return text;
}

struct LargeFile {
  explicit LargeFile(std::int64_t kind) : contents(LargeSettings(kind)) {
    test::WriteBytes(path, contents);
  }
  test::TempDir dir;
  std::string path = dir.Path("Vantelo.ini");
  std::string contents;
  std::shared_ptr<RegionalSettings> regional = std::make_shared<FixedRegionalSettings>(".", ":");
};

void BM_SettingsSet(benchmark::State& state) {
  LargeFile file(state.range(0));
  bool on = false;
  for (auto _ : state) {
    on = !on;
    const auto write = cli::SetSetting(file.path, "Global Options", "EnableTimeStamp",
                                       on ? "False" : "True", file.regional);
    if (!write.written)
      state.SkipWithError(write.problem.c_str());
  }
}

void BM_SettingsCheck(benchmark::State& state) {
  LargeFile file(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(cli::CheckSettingsFile(file.path, file.regional));
}

// Each run starts from the file without the 24 keys init adds.
void BM_SettingsInit(benchmark::State& state) {
  LargeFile file(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    test::WriteBytes(file.path, file.contents);
    state.ResumeTiming();
    const auto result = cli::InitSettingsFile(file.path, file.regional);
    if (!result.written || result.added.size() < 20)
      state.SkipWithError("init did not add the missing keys");
  }
}

// 80,000 lines of other keys before the add-in's sections, every line ended
// by 0: CR LF, 1: LF, 2: CR. Reading takes time in proportion to the file
// whatever its line ends: get reads one key, check all 26 as a save does.
struct LineEndFile {
  explicit LineEndFile(std::int64_t kind) {
    const char* end = kind == 0 ? "\r\n" : kind == 1 ? "\n" : "\r";
    std::string text = std::string("[Extra Data]") + end;
    for (int i = 1; i < 80'000; ++i)
      text += "Key" + std::to_string(i) + "=some value text" + end;
    text += std::string("[TimeStamp Options]") + end + "SaveDatePropertyName=Saved" + end;
    test::WriteBytes(path, text);
  }
  test::TempDir dir;
  std::string path = dir.Path("Vantelo.ini");
  std::shared_ptr<RegionalSettings> regional = std::make_shared<FixedRegionalSettings>(".", ":");
};

void BM_SettingsGetLineEnds(benchmark::State& state) {
  LineEndFile file(state.range(0));
  for (auto _ : state) {
    const auto read =
        cli::GetSetting(file.path, "TimeStamp Options", "SaveDatePropertyName", "", file.regional);
    if (read.value != "Saved")
      state.SkipWithError("the key was not read");
  }
}

void BM_SettingsCheckLineEnds(benchmark::State& state) {
  LineEndFile file(state.range(0));
  for (auto _ : state)
    benchmark::DoNotOptimize(cli::CheckSettingsFile(file.path, file.regional));
}

BENCHMARK(BM_SettingsSet)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SettingsCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SettingsInit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SettingsGetLineEnds)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsCheckLineEnds)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vantelo::bench
