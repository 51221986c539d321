// The real path's cost: a save handled by Vantelo.dll on the COM stand-in
// host, against the same IDispatch calls made directly on the stand-in's
// objects (the floor: what the host's own objects cost, with nothing of the
// add-in's), and against a save that is almost all settings load. Every
// round times every document, and within a document the three sides take
// turns at going first, each as a batch timed by the thread's CPU time; the
// medians of the rounds are printed. The stand-in counts the calls by kind of
// object and dispatch id; every batch of saves and of direct calls must make
// exactly the calls of one checked save times its runs, so that the floor is
// the floor of this very save and the module neither skips, merges nor adds
// a host call.
//
//   vantelo_com_bench [MODULE.dll] [--rounds N] [--batch-ms MS]
//
// MODULE.dll defaults to the module built beside this program, N to 5 rounds
// and MS to 500 ms of CPU time a batch. Exit status 2 on an unknown option; 1
// when the module cannot be loaded, when the calls differ, when the floor's
// cost per view grows by more than half from a smaller drawing to a larger
// one (the stand-in would then weigh on large drawings by itself), or when at
// the largest drawing the save less the settings load exceeds three times the
// floor.
#include "bench/windows/batch_timer.h"
#include "bench/windows/direct_save.h"
#include "bench/windows/module_copy.h"
#include "com_host/variant_values.h"
#include "simhost/host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace comhost = vtest::comhost;
namespace sim = vantelo::sim;
using vbench::ComPtr;
using vbench::Median;

constexpr double FloorGrowthLimit = 1.5;
constexpr double RestToFloorLimit = 3.0;

struct Scenario {
  const char* name;
  long views; // 0 for a document without views
  sim::DocumentData document;
  void (vbench::DirectSave::*direct)();
};

// Sheets of 100 views sharing five scales.
sim::DocumentData DrawingOf(long views) {
  static constexpr double scales[] = {1.0, 0.5, 0.25, 2.0, 0.2};
  sim::DocumentData drawing{.name = "Views" + std::to_string(views) + ".idw",
                            .type = vantelo::document_type::Drawing};
  long made = 0;
  while (made < views) {
    sim::SheetData sheet{.size = 9996};
    for (long k = 0; k < 100 && made < views; ++k, ++made)
      sheet.viewScales.push_back(scales[made % 5]);
    drawing.sheets.push_back(std::move(sheet));
  }
  drawing.activeSheet = 0;
  return drawing;
}

std::vector<Scenario> Scenarios() {
  std::vector<Scenario> scenarios;
  scenarios.push_back({"Presentation (time stamp only)", 0,
                       sim::DocumentData{.name = "Other.ipn", .type = 12293},
                       &vbench::DirectSave::Other});
  scenarios.push_back(
      {"Part with mass and volume", 0,
       sim::DocumentData{.name = "Plain.ipt",
                         .type = vantelo::document_type::Part,
                         .subType = vantelo::subtype::Part,
                         .massProperties =
                             sim::MassPropertiesData{.mass = 1.23456, .volume = 123.456}},
       &vbench::DirectSave::Part});
  for (long views : {10L, 100L, 1000L, 10000L})
    scenarios.push_back({"Drawing", views, DrawingOf(views), &vbench::DirectSave::Drawing});
  return scenarios;
}

std::string Describe(const comhost::World::CallCounts& counts) {
  std::string text;
  for (const auto& [key, n] : counts) {
    char line[96];
    std::snprintf(line, sizeof line, "  %s 0x%lX: %ld\n", key.first->name,
                  static_cast<unsigned long>(key.second), n);
    text += line;
  }
  return text;
}

long Total(const comhost::World::CallCounts& counts) {
  long total = 0;
  for (const auto& entry : counts)
    total += entry.second;
  return total;
}

comhost::World::CallCounts Times(comhost::World::CallCounts counts, long runs) {
  for (auto& entry : counts)
    entry.second *= runs;
  return counts;
}

struct Options {
  std::wstring module;
  int rounds = 5;
  double batchSeconds = 0.5;
};

// Null on an option it does not know.
std::optional<Options> Parse(int argc, char** argv) {
  Options options;
  options.module = comhost::Wide(VANTELO_MODULE);
  for (wchar_t& c : options.module)
    if (c == L'/')
      c = L'\\';
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
      options.rounds = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--batch-ms") == 0 && i + 1 < argc)
      options.batchSeconds = std::max(1, std::atoi(argv[++i])) / 1000.0;
    else if (std::strncmp(argv[i], "--", 2) != 0)
      options.module = comhost::Wide(argv[i]);
    else
      return std::nullopt;
  }
  return options;
}

enum Side { SaveSide, FloorSide, LoadSide, Sides };

// A scenario under measurement: its document in the host, the calls of one
// save, the runs of each side's batch, and each side's time in every round
// (seconds per run).
struct Measured {
  const Scenario* scenario = nullptr;
  sim::DocumentData* document = nullptr;
  comhost::World::CallCounts calls;
  long runs[Sides] = {};
  std::vector<double> seconds[Sides];

  double Median(Side side) const { return vbench::Median(seconds[side]); }
  // The median over the rounds of a figure of one round.
  template <class F> double MedianOf(F figure) const {
    std::vector<double> values;
    for (std::size_t r = 0; r < seconds[SaveSide].size(); ++r)
      values.push_back(figure(seconds[SaveSide][r], seconds[FloorSide][r], seconds[LoadSide][r]));
    return vbench::Median(values);
  }
  double Rest() const {
    return MedianOf([](double save, double, double load) { return save - load; });
  }
  double Share() const {
    return MedianOf([](double save, double floor, double load) { return save - load - floor; });
  }
  double RestToFloor() const {
    return MedianOf([](double save, double floor, double load) { return (save - load) / floor; });
  }
};

// The host with the module activated on it, the direct client, and the
// probe document whose save is almost all settings load.
class Bench {
public:
  Bench(const Options& options)
      : world_(comhost::World::Create(host_)), module_(options.module), site_(world_->AddInSite()),
        batchSeconds_(options.batchSeconds) {
    if (FAILED(module_.Server().Activate(site_.Get(), VARIANT_TRUE)))
      throw std::runtime_error("the add-in did not activate");
    direct_ = std::make_unique<vbench::DirectSave>(site_);
    host_.SetActiveDocument(&probe_);
    host_.FireSaveDocument(&probe_, 4097, 0);
  }
  ~Bench() { module_.Server().Deactivate(); }

  // Adds the scenario's document, saves it once unmeasured (the first save
  // writes the missing settings back and creates the properties), checks
  // that the direct client makes the calls of a save, and sizes the batches.
  // Null when the calls differ.
  std::optional<Measured> Prepare(const Scenario& scenario) {
    Measured m;
    m.scenario = &scenario;
    m.document = &host_.AddDocument(scenario.document);
    host_.SetActiveDocument(m.document);
    host_.FireSaveDocument(m.document, 4097, 0);
    world_->ClearCallCounts();
    Run(m, SaveSide);
    m.calls = world_->Calls();
    world_->ClearCallCounts();
    Run(m, FloorSide);
    if (world_->Calls() != m.calls) {
      std::fprintf(stderr, "%s (%ld views): the calls differ\nVantelo.dll:\n%sdirect:\n%s",
                   scenario.name, scenario.views, Describe(m.calls).c_str(),
                   Describe(world_->Calls()).c_str());
      return std::nullopt;
    }
    for (Side side : {SaveSide, FloorSide, LoadSide}) {
      Activate(m, side);
      m.runs[side] = vbench::RunsFor(batchSeconds_, [&] { Run(m, side); });
    }
    return m;
  }

  // Times one batch of the side; false when a batch of saves or direct saves
  // made other calls than its runs of one save.
  bool Time(Measured& m, Side side) {
    Activate(m, side);
    world_->ClearCallCounts();
    m.seconds[side].push_back(vbench::SecondsPerRun(m.runs[side], [&] { Run(m, side); }));
    if (side != LoadSide && world_->Calls() != Times(m.calls, m.runs[side])) {
      std::fprintf(stderr, "%s (%ld views): a batch of %ld %s made other calls:\n%s",
                   m.scenario->name, m.scenario->views, m.runs[side],
                   side == SaveSide ? "saves" : "direct saves", Describe(world_->Calls()).c_str());
      return false;
    }
    return true;
  }

private:
  // The active document for the side's runs: the probe for the load.
  void Activate(const Measured& m, Side side) {
    host_.SetActiveDocument(side == LoadSide ? &probe_ : m.document);
  }

  void Run(const Measured& m, Side side) {
    host_.ClearOperations();
    if (side == FloorSide)
      ((*direct_).*(m.scenario->direct))();
    else
      host_.FireSaveDocument(side == SaveSide ? m.document : &probe_, 4097, 0);
  }

  sim::Host host_;
  std::shared_ptr<comhost::World> world_;
  vbench::ModuleCopy module_;
  ComPtr<IDispatch> site_;
  double batchSeconds_;
  std::unique_ptr<vbench::DirectSave> direct_;
  // The settings load, measured in every round as a save of a document only
  // the time stamp applies to (15 host calls, whose floor is some 0.02 ms):
  // the difference within a round keeps the add-in's share apart from it.
  sim::DocumentData& probe_ =
      host_.AddDocument(sim::DocumentData{.name = "Show.ipn", .type = 12293});
};

int Run(const Options& options) {
  const std::vector<Scenario> scenarios = Scenarios();
  Bench bench(options);
  std::vector<Measured> measured;
  for (const Scenario& scenario : scenarios) {
    auto m = bench.Prepare(scenario);
    if (!m)
      return 1;
    measured.push_back(std::move(*m));
  }
  // Every round times every scenario, so that the medians of all sizes come
  // from the same stretch of time; within a scenario the sides take turns at
  // going first.
  for (int round = 0; round < options.rounds; ++round)
    for (Measured& m : measured)
      for (int turn = 0; turn < Sides; ++turn)
        if (!bench.Time(m, static_cast<Side>((round + turn) % Sides)))
          return 1;

  std::printf("CPU time of one run, median of %d rounds; each run timed as its share of a\n"
              "batch of about %.0f ms. Times in ms. Load: a save of a document only the time\n"
              "stamp applies to. Rest: the save less the load. Share: the rest less the floor,\n"
              "what the module adds to the host calls.\n\n",
              options.rounds, options.batchSeconds * 1e3);
  std::printf("%-31s %6s %7s %8s %7s %8s %8s %8s %6s\n", "Save", "Views", "Calls", "Save", "Load",
              "Rest", "Floor", "Share", "Rest/F");
  std::vector<const Measured*> drawings;
  for (const Measured& m : measured) {
    std::printf("%-31s %6s %7ld %8.3f %7.3f %8.3f %8.3f %8.3f %6.2f\n", m.scenario->name,
                m.scenario->views > 0 ? std::to_string(m.scenario->views).c_str() : "",
                Total(m.calls), m.Median(SaveSide) * 1e3, m.Median(LoadSide) * 1e3, m.Rest() * 1e3,
                m.Median(FloorSide) * 1e3, m.Share() * 1e3, m.RestToFloor());
    if (m.scenario->views > 0)
      drawings.push_back(&m);
  }
  if (drawings.empty())
    return 0;

  // The floor per view must stay flat: a stand-in whose own cost grew with
  // the document would hide the module's share in large drawings.
  const auto floorPerView = [](const Measured* m) {
    return m->Median(FloorSide) / static_cast<double>(m->scenario->views);
  };
  int status = 0;
  std::printf("\nFloor per view:");
  for (const Measured* d : drawings)
    std::printf("  %ld views %.3f us", d->scenario->views, floorPerView(d) * 1e6);
  // Per host call, the fixed calls of a save (time stamp, type tests, paper
  // size) weigh alike at every size.
  std::printf("\nFloor per call:");
  for (const Measured* d : drawings)
    std::printf("  %ld views %.3f us", d->scenario->views,
                d->Median(FloorSide) / static_cast<double>(Total(d->calls)) * 1e6);
  std::printf("\n");
  for (std::size_t i = 1; i < drawings.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (floorPerView(drawings[i]) > FloorGrowthLimit * floorPerView(drawings[j])) {
        std::fprintf(stderr,
                     "the floor per view grew by more than half: %.3f us at %ld views, "
                     "%.3f us at %ld views\n",
                     floorPerView(drawings[j]) * 1e6, drawings[j]->scenario->views,
                     floorPerView(drawings[i]) * 1e6, drawings[i]->scenario->views);
        status = 1;
      }
    }
  }

  // The cost of each added view, between the two largest drawings.
  if (drawings.size() >= 2) {
    const Measured& small = *drawings[drawings.size() - 2];
    const Measured& large = *drawings.back();
    const double views = static_cast<double>(large.scenario->views - small.scenario->views);
    std::printf("Each added view (%ld to %ld views): floor %.3f us, share %.3f us\n",
                small.scenario->views, large.scenario->views,
                (large.Median(FloorSide) - small.Median(FloorSide)) / views * 1e6,
                (large.Share() - small.Share()) / views * 1e6);
  }

  const Measured& largest = *drawings.back();
  const double ratio = largest.RestToFloor();
  std::printf("At %ld views the save less the load is %.2f times the floor (at most %.0f)\n",
              largest.scenario->views, ratio, RestToFloorLimit);
  if (ratio > RestToFloorLimit) {
    std::fprintf(stderr, "the save less the load exceeds %.0f times the floor at %ld views\n",
                 RestToFloorLimit, largest.scenario->views);
    status = 1;
  }
  return status;
}

} // namespace

int main(int argc, char** argv) {
  const std::optional<Options> options = Parse(argc, argv);
  if (!options) {
    std::fprintf(stderr, "usage: vantelo_com_bench [MODULE.dll] [--rounds N] [--batch-ms MS]\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 1;
  try {
    status = Run(*options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vantelo_com_bench: %s\n", e.what());
  }
  CoUninitialize();
  return status;
}
