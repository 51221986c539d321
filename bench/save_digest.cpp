// Prints what the benchmarked operations do, so that a change made for speed
// can be shown to change nothing else: for each scenario of the benchmarks,
// the number of host operations, a digest of their sequence, and everything
// the operation left in the document (properties, parts-list cells). Run it
// before and after a change and compare the outputs.
#include "bench/bench_documents.h"
#include "simhost/describe.h"
#include "support/addin_harness.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vantelo::bench {
namespace {

// FNV-1a over the operation names, each closed by a newline.
std::uint64_t Digest(const std::vector<std::string>& operations) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const std::string& name : operations)
    for (char c : name + "\n") {
      hash ^= static_cast<unsigned char>(c);
      hash *= 1099511628211ull;
    }
  return hash;
}

std::string Cells(const sim::DocumentData& document) {
  std::string text;
  for (const auto& sheet : document.sheets)
    for (const auto& list : sheet.partsLists)
      for (const auto& row : list.rows) {
        for (const auto& cell : row)
          text += cell + "|";
        text += "\n";
      }
  return text;
}

void Report(const char* name, const test::AddinHarness& h, const sim::DocumentData& document) {
  const std::vector<std::string> operations = h.host.Operations();
  std::printf("== %s: %zu host operations, digest %016llx\n%s%s", name, operations.size(),
              static_cast<unsigned long long>(Digest(operations)),
              sim::DescribePropertySets(document).c_str(), Cells(document).c_str());
}

void Save(const char* name, sim::DocumentData data, bool decimalComma = false) {
  test::AddinHarness h({.decimalSeparator = decimalComma ? "," : "."});
  h.EnableAllWriters();
  sim::DocumentData& document = h.host.AddDocument(std::move(data));
  h.Save(document); // writes the defaults back
  h.host.ClearOperations();
  const sim::SaveOutcome outcome = h.Save(document);
  if (!outcome.succeeded)
    std::printf("== %s: save failed: %s\n", name, outcome.message.c_str());
  Report(name, h, document);
}

void UpdatePartsList(const char* name, int rows) {
  test::AddinHarness h;
  h.Activate();
  clsVantelo& addin = *h.addin;
  test::UsePartsListColumns(addin);
  sim::DocumentData& drawing = h.host.AddDocument(DrawingWithPartsList(rows));
  h.host.SetActiveDocument(&drawing);
  h.host.ClearOperations();
  addin.UpdateTotalMassInPartsList();
  Report(name, h, drawing);
}

} // namespace
} // namespace vantelo::bench

int main() {
  using namespace vantelo::bench;
  Save("part", Part());
  Save("assembly", Assembly());
  Save("sheet-metal part", SheetMetalPart());
  Save("drawing", SmallDrawing());
  Save("drawing, decimal comma", SmallDrawing(), true);
  for (const auto mix : {ScaleMix::Few, ScaleMix::AllDistinct}) {
    const char* mixName = mix == ScaleMix::Few ? "few scales" : "distinct scales";
    for (const auto& [sheets, views] : {std::pair{1, 10}, {10, 100}, {100, 100}}) {
      const std::string name =
          std::to_string(sheets) + " x " + std::to_string(views) + " views, " + mixName;
      Save(name.c_str(), DrawingWithViews(sheets, views, mix));
    }
  }
  UpdatePartsList("parts list, 10 rows", 10);
  UpdatePartsList("parts list, 10000 rows", 10000);
  return 0;
}
