// The real path's cost: a save handled by Vantelo.dll on the COM stand-in
// host, against the same IDispatch calls made directly on the stand-in's
// objects (the floor: what the host's own objects cost, with nothing of the
// add-in's), and against a save that is almost all settings load. The three
// sides take turns in every round, each as a batch timed by the thread's CPU
// time, and the medians are printed. The stand-in counts the calls by kind of
// object and dispatch id; every batch of saves and of direct calls must make
// exactly the calls of one checked save times its runs, so that the floor is
// the floor of this very save and the module neither skips, merges nor adds
// a host call.
//
//   vantelo_com_bench [MODULE.dll] [--rounds N] [--batch-ms MS]
//
// MODULE.dll defaults to the module built beside this program. Exit status 1
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

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
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
  double batchSeconds = 0.25;
};

Options Parse(int argc, char** argv) {
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
    else
      options.module = comhost::Wide(argv[i]);
  }
  return options;
}

// Medians of the rounds, in seconds per run.
struct Figures {
  long views;
  double floor;
  double rest; // the save less the settings load
};

int Run(const Options& options) {
  sim::Host host;
  const std::shared_ptr<comhost::World> world = comhost::World::Create(host);
  vbench::ModuleCopy module(options.module);
  const ComPtr<IDispatch> site = world->AddInSite();
  if (FAILED(module.Server().Activate(site.Get(), VARIANT_TRUE))) {
    std::fprintf(stderr, "the add-in did not activate\n");
    return 1;
  }
  vbench::DirectSave direct(site);

  // The settings load, measured in every round as a save of a document only
  // the time stamp applies to (15 host calls, whose floor is some 0.02 ms):
  // the difference within a round keeps the add-in's share apart from it.
  sim::DocumentData& probe = host.AddDocument(sim::DocumentData{.name = "Show.ipn", .type = 12293});
  host.SetActiveDocument(&probe);
  host.FireSaveDocument(&probe, 4097, 0);

  std::printf("CPU time of one run, median of %d rounds; each run timed as its share of a\n"
              "batch of about %.0f ms. Times in ms. Load: a save of a document only the time\n"
              "stamp applies to. Rest: the save less the load. Share: the rest less the floor,\n"
              "what the module adds to the host calls.\n\n",
              options.rounds, options.batchSeconds * 1e3);
  std::printf("%-31s %6s %7s %8s %7s %8s %8s %8s %6s\n", "Save", "Views", "Calls", "Save", "Load",
              "Rest", "Floor", "Share", "Rest/F");
  int status = 0;
  std::vector<Figures> drawings;
  for (Scenario& scenario : Scenarios()) {
    sim::DocumentData& document = host.AddDocument(scenario.document);
    host.SetActiveDocument(&document);
    // The first save writes the missing settings back and creates the
    // properties; it is not measured.
    host.FireSaveDocument(&document, 4097, 0);

    const auto save = [&] {
      host.ClearOperations();
      host.FireSaveDocument(&document, 4097, 0);
    };
    const auto floor = [&] {
      host.ClearOperations();
      (direct.*scenario.direct)();
    };
    const auto load = [&] {
      host.ClearOperations();
      host.FireSaveDocument(&probe, 4097, 0);
    };

    // The calls of one save, which the direct client must make too.
    world->ClearCallCounts();
    save();
    const comhost::World::CallCounts calls = world->Calls();
    world->ClearCallCounts();
    floor();
    if (world->Calls() != calls) {
      std::fprintf(stderr, "%s (%ld views): the calls differ\nVantelo.dll:\n%sdirect:\n%s",
                   scenario.name, scenario.views, Describe(calls).c_str(),
                   Describe(world->Calls()).c_str());
      status = 1;
      continue;
    }

    const long runs[3] = {vbench::RunsFor(options.batchSeconds, save),
                          vbench::RunsFor(options.batchSeconds, floor), [&] {
                            host.SetActiveDocument(&probe);
                            const long n = vbench::RunsFor(options.batchSeconds, load);
                            host.SetActiveDocument(&document);
                            return n;
                          }()};
    std::vector<double> saves, floors, loads, rests, shares;
    for (int round = 0; round < options.rounds && status == 0; ++round) {
      double seconds[3] = {};
      // The sides take turns at going first.
      for (int turn = 0; turn < 3; ++turn) {
        const int side = (round + turn) % 3;
        world->ClearCallCounts();
        if (side == 0) {
          seconds[side] = vbench::SecondsPerRun(runs[side], save);
        } else if (side == 1) {
          seconds[side] = vbench::SecondsPerRun(runs[side], floor);
        } else {
          host.SetActiveDocument(&probe);
          seconds[side] = vbench::SecondsPerRun(runs[side], load);
          host.SetActiveDocument(&document);
        }
        if (side < 2 && world->Calls() != Times(calls, runs[side])) {
          std::fprintf(stderr, "%s (%ld views): a batch of %ld %s made other calls:\n%s",
                       scenario.name, scenario.views, runs[side],
                       side == 0 ? "saves" : "direct saves", Describe(world->Calls()).c_str());
          status = 1;
        }
      }
      saves.push_back(seconds[0]);
      floors.push_back(seconds[1]);
      loads.push_back(seconds[2]);
      rests.push_back(seconds[0] - seconds[2]);
      shares.push_back(seconds[0] - seconds[2] - seconds[1]);
    }
    if (status != 0)
      break;
    const double rest = Median(rests);
    const double floorTime = Median(floors);
    std::printf("%-31s %6s %7ld %8.3f %7.3f %8.3f %8.3f %8.3f %6.1f\n", scenario.name,
                scenario.views > 0 ? std::to_string(scenario.views).c_str() : "", Total(calls),
                Median(saves) * 1e3, Median(loads) * 1e3, rest * 1e3, floorTime * 1e3,
                Median(shares) * 1e3, rest / floorTime);
    std::fflush(stdout);
    if (scenario.views > 0)
      drawings.push_back({scenario.views, floorTime, rest});
  }
  module.Server().Deactivate();
  if (status != 0 || drawings.empty())
    return status;

  // The floor per view must stay flat: a stand-in whose own cost grew with
  // the document would hide the module's share in large drawings.
  std::printf("\nFloor per view:");
  for (const Figures& d : drawings)
    std::printf("  %ld views %.3f us", d.views, d.floor / d.views * 1e6);
  std::printf("\n");
  for (std::size_t i = 1; i < drawings.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      const double larger = drawings[i].floor / drawings[i].views;
      const double smaller = drawings[j].floor / drawings[j].views;
      if (larger > FloorGrowthLimit * smaller) {
        std::fprintf(stderr,
                     "the floor per view grew by more than half: %.3f us at %ld views, "
                     "%.3f us at %ld views\n",
                     smaller * 1e6, drawings[j].views, larger * 1e6, drawings[i].views);
        status = 1;
      }
    }
  }

  // The module's share of each added view, between the two largest drawings.
  if (drawings.size() >= 2) {
    const Figures& small = drawings[drawings.size() - 2];
    const Figures& large = drawings.back();
    const double views = static_cast<double>(large.views - small.views);
    const double rest = (large.rest - small.rest) / views * 1e6;
    const double floor = (large.floor - small.floor) / views * 1e6;
    std::printf("Each added view (%ld to %ld views): rest %.3f us, floor %.3f us, share %.3f us\n",
                small.views, large.views, rest, floor, rest - floor);
  }

  const Figures& largest = drawings.back();
  const double ratio = largest.rest / largest.floor;
  std::printf("At %ld views the save less the load is %.2f times the floor (at most %.0f)\n",
              largest.views, ratio, RestToFloorLimit);
  if (ratio > RestToFloorLimit) {
    std::fprintf(stderr, "the save less the load exceeds %.0f times the floor at %ld views\n",
                 RestToFloorLimit, largest.views);
    status = 1;
  }
  return status;
}

} // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int status = 1;
  try {
    status = Run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vantelo_com_bench: %s\n", e.what());
  }
  CoUninitialize();
  return status;
}
