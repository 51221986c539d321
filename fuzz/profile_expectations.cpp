#include "fuzz/profile_expectations.h"

#include "platform/ascii_case.h"

#include <cstddef>
#include <vector>

namespace vantelo::fuzz {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

// Spaces (only spaces) dropped around a caller's name.
std::string_view CallerName(std::string_view name) {
  name = UpToNul(name);
  while (!name.empty() && name.front() == ' ')
    name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ')
    name.remove_suffix(1);
  return name;
}

bool HasLineEnd(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

bool BlankAtAnEnd(std::string_view name) {
  return !name.empty() && (IsBlank(name.front()) || IsBlank(name.back()));
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == text.npos) {
      end = text.size();
    } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      end += 2;
    } else {
      end += 1;
    }
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

bool EndsLine(std::string_view line) {
  return !line.empty() && (line.back() == '\n' || line.back() == '\r');
}

} // namespace

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

bool WithinLines(std::string_view section, std::string_view key, std::string_view value) {
  return !HasLineEnd(UpToNul(section)) && !HasLineEnd(UpToNul(key)) && !HasLineEnd(UpToNul(value));
}

bool RoundTrips(std::string_view section, std::string_view key, std::string_view value) {
  if (!WithinLines(section, key, value))
    return false;
  const std::string_view s = CallerName(section);
  const std::string_view k = CallerName(key);
  if (s.find(']') != s.npos || BlankAtAnEnd(s))
    return false;
  if (k.find('=') != k.npos || BlankAtAnEnd(k))
    return false;
  return k.empty() || (k.front() != ';' && k.front() != '[');
}

std::string ValueAsRead(std::string_view value) {
  value = UpToNul(value);
  while (!value.empty() && IsBlank(value.front()))
    value.remove_prefix(1);
  while (!value.empty() && IsBlank(value.back()))
    value.remove_suffix(1);
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\''))
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool SameKey(std::string_view section, std::string_view key, std::string_view otherSection,
             std::string_view otherKey) {
  const auto equal = [](std::string_view a, std::string_view b) {
    return EqualsIgnoringAsciiCase(CallerName(a), CallerName(b));
  };
  return equal(section, otherSection) && equal(key, otherKey);
}

bool OtherLinesKept(std::string_view before, std::string_view after) {
  const std::vector<std::string_view> old = Lines(before);
  const std::vector<std::string_view> now = Lines(after);
  const std::size_t n = old.size();
  const auto matches = [&](std::size_t i, std::string_view line) {
    if (line == old[i])
      return true;
    // The old last line, now with a line end.
    if (i + 1 != n || EndsLine(old[i]) || line.size() <= old[i].size() ||
        line.substr(0, old[i].size()) != old[i])
      return false;
    const std::string_view end = line.substr(old[i].size());
    return end == "\r\n" || end == "\n" || end == "\r";
  };
  // front[i]: where in the new lines old[0..i) end when matched as early as
  // possible (npos when they cannot be); back[i]: where old[i..n) start when
  // matched as late as possible.
  constexpr std::size_t none = static_cast<std::size_t>(-1);
  std::vector<std::size_t> front(n + 1, none), back(n + 1, none);
  front[0] = 0;
  for (std::size_t i = 0, j = 0; i < n; ++i) {
    while (j < now.size() && !matches(i, now[j]))
      ++j;
    if (j == now.size())
      break;
    front[i + 1] = ++j;
  }
  back[n] = now.size();
  for (std::size_t i = n, j = now.size(); i-- > 0;) {
    while (j > 0 && !matches(i, now[j - 1]))
      --j;
    if (j == 0)
      break;
    back[i] = --j;
  }
  if (front[n] != none)
    return true;
  // One old line left out: the ones before it and after it still match.
  for (std::size_t r = 0; r < n; ++r)
    if (front[r] != none && back[r + 1] != none && front[r] <= back[r + 1])
      return true;
  return false;
}

} // namespace vantelo::fuzz
