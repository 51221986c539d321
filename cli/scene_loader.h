// Reads a scene file (JSON) into stand-in host documents. The whole scene is
// checked before anything runs: an error names the file, the place in it
// (a JSON path such as documents[0].sheets[1].views[2], or the line and
// column for malformed JSON) and what is wrong. Unknown fields are errors, a
// field given twice in one object too. Comments (// and /* */) are allowed.
#pragma once

#include "cli/scene.h"

#include <string>
#include <string_view>

namespace vantelo::cli {

// Throws UsageError.
Scene LoadSceneFile(const std::string& path);

// The scene in the text; sourceName is the file name used in messages.
// Throws UsageError.
Scene ParseScene(std::string_view text, const std::string& sourceName);

} // namespace vantelo::cli
