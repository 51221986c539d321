// The demo's built-in documents and settings: a drawing with two sheets,
// several view scales and a parts list, a part, a sheet-metal part with a
// flat pattern and an assembly, with every writer enabled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantelo::cli {

// The scene as a scene file would give it; mass texts in the parts list are
// written with the decimal separator in effect, so that they convert.
std::string DemoSceneJson(std::string_view decimalSeparator);

// The settings file: every writer enabled, everything else left to the
// defaults that the first save writes.
std::string DemoSettingsText();

// The drawing the parts-list update runs on, and the members a client would
// set for it (as --set MEMBER=VALUE).
std::string DemoPartsListDrawing();
std::vector<std::string> DemoPartsListMembers();

} // namespace vantelo::cli
