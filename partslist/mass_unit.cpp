// GetMassUnit: which of the four mass-unit tokens a parts-list mass text
// carries ("kg", "lbmass", "g", "slug"), or the empty text for none.
#include "addin/clsVantelo.h"

#include <string_view>

namespace vantelo {
namespace {
bool Contains(std::string_view text, std::string_view token) {
  return text.find(token) != std::string_view::npos;
}
} // namespace

// Plain, case-sensitive substring tests. "kg" settles it at once; otherwise
// each later hit overrides an earlier one, so "slug" beats "g" (every text
// with "slug" also holds a "g") and a stray "g" beats "lbmass".
std::string clsVantelo::GetMassUnit(std::string text) {
  if (Contains(text, "kg"))
    return "kg";
  std::string unit;
  if (Contains(text, "lbmass"))
    unit = "lbmass";
  if (Contains(text, "g"))
    unit = "g";
  if (Contains(text, "slug"))
    unit = "slug";
  return unit;
}

} // namespace vantelo
