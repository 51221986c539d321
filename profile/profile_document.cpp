#include "profile/profile_document.h"

#include "platform/ascii_case.h"
#include "platform/utf8.h"
#include "profile/profile_text.h"
#include "profile/windows1252_code_page.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantelo {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// UTF-16 LE code units (an even number of bytes) to UTF-8; a surrogate
// without its partner is encoded on its own, so nothing is lost.
std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    std::uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size()) {
      const std::uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, cp);
  }
  return out;
}

void AppendUnit(std::string& out, std::uint32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

// The reverse of Utf16LeToUtf8. The text comes from there or from the code
// page's conversion, so it is well formed; a stray byte still becomes
// U+FFFD rather than being dropped.
std::string Utf8ToUtf16Le(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = s[i];
    const std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k)
      valid = (s[i + k] & 0xC0) == 0x80;
    if (!valid) {
      AppendUnit(out, 0xFFFD);
      ++i;
      continue;
    }
    std::uint32_t cp = length == 1 ? b : b & (0xFF >> (length + 1));
    for (std::size_t k = 1; k < length; ++k)
      cp = (cp << 6) | (s[i + k] & 0x3F);
    i += length;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      AppendUnit(out, 0xD800 + (cp >> 10));
      AppendUnit(out, 0xDC00 + (cp & 0x3FF));
    } else {
      AppendUnit(out, cp);
    }
  }
  return out;
}

} // namespace

const ProfileDocument::Span* ProfileDocument::SectionSpan(std::string_view section) const {
  if (!indexed_) {
    sections_.clear();
    Span* previous = nullptr;
    for (const profile_text::SectionLine& line : profile_text::Sections(text_)) {
      if (previous)
        previous->end = line.begin;
      previous = nullptr;
      auto [it, first] =
          sections_.try_emplace(AsciiLower(line.name), Span{line.begin, text_.size()});
      if (first)
        previous = &it->second;
    }
    indexed_ = true;
  }
  auto it = sections_.find(AsciiLower(profile_text::CallerName(section)));
  return it == sections_.end() ? nullptr : &it->second;
}

// profile_text::Store on the first section of the name alone, which makes
// the same change as on the whole text.
void ProfileDocument::StoreText(std::string_view section, std::string_view key,
                                std::string_view value) {
  const Span* found = SectionSpan(section);
  if (found == nullptr) {
    // A new section goes at the end: store into the last line alone (from
    // just after the line end before it), which adds the section after it.
    std::size_t lastLine = 0;
    if (text_.size() >= 2) {
      lastLine = text_.find_last_of("\r\n", text_.size() - 2);
      lastLine = lastLine == std::string::npos ? 0 : lastLine + 1;
    }
    const std::string tail =
        profile_text::Store(std::string_view(text_).substr(lastLine), section, key, value);
    text_.replace(lastLine, std::string::npos, tail);
    indexed_ = false; // a new section
    return;
  }
  const Span span = *found;
  const std::string piece = profile_text::Store(
      std::string_view(text_).substr(span.begin, span.end - span.begin), section, key, value);
  text_.replace(span.begin, span.end - span.begin, piece);
  // Names and values are written raw: a line break, or a key that starts a
  // section line, makes lines of its own; index again then.
  const std::string_view name = profile_text::CallerName(key);
  const auto breaks = [](std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
  };
  const std::size_t first = name.find_first_not_of(" \t\v");
  if (breaks(profile_text::CallerText(value)) || breaks(name) ||
      breaks(profile_text::CallerName(section)) ||
      (first != std::string_view::npos && name[first] == '[')) {
    indexed_ = false;
    return;
  }
  const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(piece.size()) -
                               static_cast<std::ptrdiff_t>(span.end - span.begin);
  for (auto& entry : sections_) {
    Span& other = entry.second;
    if (other.begin > span.begin)
      other.begin += delta;
    if (other.end > span.begin)
      other.end += delta;
  }
}

ProfileDocument::ProfileDocument(std::string_view bytes) {
  if (!bytes.starts_with(kUtf16LeMark)) {
    text_ = bytes;
    return;
  }
  unicode_ = true;
  bytes.remove_prefix(kUtf16LeMark.size());
  if (bytes.size() % 2 != 0) {
    damaged_ = true;
    oddByte_ = bytes.back();
    bytes.remove_suffix(1);
  }
  text_ = Utf16LeToUtf8(bytes);
}

std::optional<std::string> ProfileDocument::Lookup(std::string_view section, std::string_view key,
                                                   std::size_t limit) const {
  const auto find = [&](std::string_view s, std::string_view k) {
    const Span* span = SectionSpan(s);
    return span ? profile_text::Lookup(
                      std::string_view(text_).substr(span->begin, span->end - span->begin), s, k)
                : std::nullopt;
  };
  if (!unicode_) {
    const auto value = find(section, key);
    return value ? std::optional<std::string>(value->substr(0, limit)) : std::nullopt;
  }
  Windows1252CodePage page;
  auto value = find(page.ToUtf8(std::string(section)), page.ToUtf8(std::string(key)));
  if (!value)
    return std::nullopt;
  // Every character gives at least one ANSI byte and takes at most four
  // UTF-8 bytes: convert only the part that can reach the result.
  if (limit < value->size() / 4) {
    std::size_t end = limit * 4 + 4;
    while (end > 0 && end < value->size() &&
           (static_cast<unsigned char>((*value)[end]) & 0xC0) == 0x80)
      --end;
    value = value->substr(0, end);
  }
  return page.FromUtf8(std::string(*value)).substr(0, limit);
}

std::size_t ProfileDocument::GetString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue,
                                       std::span<char> buffer) const {
  if (buffer.empty())
    return 0;
  std::string text;
  if (auto value = Lookup(section, key, buffer.size() - 1)) {
    text = std::move(*value);
  } else {
    std::string_view def = profile_text::CallerText(defaultValue);
    while (!def.empty() && def.back() == ' ')
      def.remove_suffix(1);
    text = def.substr(0, buffer.size() - 1);
  }
  if (!text.empty())
    std::memcpy(buffer.data(), text.data(), text.size());
  buffer[text.size()] = '\0';
  return text.size();
}

bool ProfileDocument::Store(std::string_view section, std::string_view key,
                            std::string_view value) {
  if (damaged_)
    return false;
  if (!unicode_) {
    StoreText(section, key, value);
    return true;
  }
  // Each text ends at its first NUL before it is converted, as the
  // A-function's char* arguments do.
  Windows1252CodePage page;
  const auto wide = [&](std::string_view text) {
    return page.ToUtf8(std::string(profile_text::CallerText(text)));
  };
  StoreText(wide(section), wide(key), wide(value));
  return true;
}

std::string ProfileDocument::Bytes() const {
  if (!unicode_)
    return text_;
  std::string bytes(kUtf16LeMark);
  bytes += Utf8ToUtf16Le(text_);
  if (damaged_)
    bytes.push_back(oddByte_);
  return bytes;
}

std::string ProfileDocument::AnsiText() const {
  return unicode_ ? Windows1252CodePage().FromUtf8(text_) : text_;
}

} // namespace vantelo
