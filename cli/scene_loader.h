// Reads a scene file (JSON) into stand-in host documents. The whole scene is
// checked before anything runs: an error names the file, the place in it
// (a JSON path such as documents[0].sheets[1].views[2], or the line and
// column for malformed JSON) and what is wrong. Unknown fields are errors, a
// field given twice in one object too. Comments (// and /* */) are allowed.
#pragma once

#include "cli/scene.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantelo::cli {

// The largest scene file read, in bytes: far beyond any scene written by
// hand or by a script for a real assembly, and small enough that a file
// without end (a device, a pipe) or a runaway generated one stops with a
// message naming the file and the limit instead of taking the memory.
inline constexpr std::size_t kSceneSizeLimit = 64 * 1024 * 1024;

// Limits on what a scene holds, far above any real scene, so that no scene
// within the size limit takes more than a few hundred MiB to load and run:
// brackets nested at most this deep (a real scene needs fewer than ten), at
// most this many JSON values and field names, and at most this many
// documents (each document has its property sets, however short its text).
inline constexpr std::size_t kSceneNestingLimit = 64;
inline constexpr std::size_t kSceneValueLimit = 1'000'000;
inline constexpr std::size_t kSceneDocumentLimit = 10'000;

// Throws UsageError, also for a file of more than sizeLimit bytes.
Scene LoadSceneFile(const std::string& path, std::size_t sizeLimit = kSceneSizeLimit);

// The scene in the text; sourceName is the file name used in messages.
// Throws UsageError.
Scene ParseScene(std::string_view text, const std::string& sourceName);

} // namespace vantelo::cli
