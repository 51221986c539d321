// How far apart two names are, for "did you mean" hints on misspelt member
// names, setting keys and section names.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace vantelo::cli {

// Insertions, deletions, substitutions and swaps of two neighbours needed to
// turn one into the other, ignoring ASCII letter case (the reader of the
// settings file and the class interface ignore it too).
std::size_t EditDistance(std::string_view a, std::string_view b);

// The candidate closest to the name when it is a likely misspelling of it
// (at most two edits, and fewer than a third of the name's length); empty
// when none is that close.
std::string_view NearestName(std::string_view name, std::span<const std::string_view> candidates);

} // namespace vantelo::cli
