// A scene: the documents the stand-in host holds and which one is active,
// as read from a scene file.
#pragma once

#include "simhost/document_data.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantelo::cli {

struct Scene {
  std::vector<sim::DocumentData> documents;
  std::optional<std::size_t> active; // index into documents; none: no active document
};

// The active document's name, for titles.
inline std::string ActiveDocumentName(const Scene& scene) {
  return scene.active ? scene.documents[*scene.active].name : "(no active document)";
}

} // namespace vantelo::cli
