#include "cli/edit_distance.h"

#include "platform/ascii_case.h"

#include <algorithm>
#include <vector>

namespace vantelo::cli {
std::size_t EditDistance(std::string_view a, std::string_view b) {
  // Optimal string alignment distance, three rows of the table.
  const std::size_t n = b.size();
  std::vector<std::size_t> before(n + 1), previous(n + 1), current(n + 1);
  for (std::size_t j = 0; j <= n; ++j)
    previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= n; ++j) {
      const std::size_t cost = AsciiLower(a[i - 1]) == AsciiLower(b[j - 1]) ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && AsciiLower(a[i - 1]) == AsciiLower(b[j - 2]) &&
          AsciiLower(a[i - 2]) == AsciiLower(b[j - 1]))
        current[j] = std::min(current[j], before[j - 2] + 1);
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[n];
}

std::string_view NearestName(std::string_view name, std::span<const std::string_view> candidates) {
  std::string_view best;
  std::size_t bestDistance = 3;
  for (std::string_view candidate : candidates) {
    // The distance is at least the difference in length: skip what cannot
    // come close (a long name would otherwise cost its length times the
    // candidate's).
    const std::size_t longer = std::max(name.size(), candidate.size());
    if (longer - std::min(name.size(), candidate.size()) >= bestDistance)
      continue;
    const std::size_t distance = EditDistance(name, candidate);
    if (distance < bestDistance && distance * 3 < std::max(name.size(), candidate.size())) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

} // namespace vantelo::cli
