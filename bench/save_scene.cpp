#include "bench/save_scene.h"

namespace vantelo::bench {

SaveScene::SaveScene() {
  h.enableAllWriters();
  h.activate();
}

sim::DocumentData* SaveScene::Open(sim::DocumentData document, benchmark::State& state) {
  sim::DocumentData& added = h.host.addDocument(std::move(document));
  Save(added, state);
  const std::string settings = h.readSettings();
  Save(added, state);
  if (h.readSettings() != settings) {
    state.SkipWithError("the settings file is still written back on every save");
    return nullptr;
  }
  return &added;
}

void SaveScene::Save(sim::DocumentData& document, benchmark::State& state) {
  h.host.clearOperations();
  const sim::SaveOutcome outcome = h.save(document);
  if (!outcome.succeeded)
    state.SkipWithError(("save failed: " + outcome.message).c_str());
}

} // namespace vantelo::bench
