#include "bench/save_scene.h"

namespace vantelo::bench {

SaveScene::SaveScene() {
  h.EnableAllWriters();
  h.Activate();
}

sim::DocumentData* SaveScene::Open(sim::DocumentData document, benchmark::State& state) {
  sim::DocumentData& added = h.host.AddDocument(std::move(document));
  Save(added, state);
  const std::string settings = h.ReadSettings();
  Save(added, state);
  if (h.ReadSettings() != settings) {
    state.SkipWithError("the settings file is still written back on every save");
    return nullptr;
  }
  return &added;
}

void SaveScene::Save(sim::DocumentData& document, benchmark::State& state) {
  h.host.ClearOperations();
  const sim::SaveOutcome outcome = h.Save(document);
  if (!outcome.succeeded)
    state.SkipWithError(("save failed: " + outcome.message).c_str());
}

} // namespace vantelo::bench
