// A settings file's text in the encoding it has, read and edited through
// ANSI (Windows-1252) names and values, as the platform's A-functions see
// any profile file:
// - a file that starts with the UTF-16 little-endian byte-order mark (FF FE)
//   is Unicode text: names and values are converted from and to the ANSI
//   code page at this interface (a character the page cannot hold reads as
//   '?'), and the file is written back in UTF-16 LE, mark included, so one
//   file never holds two encodings; every other character of it stays as it
//   was, unpaired surrogates included;
// - any other file is ANSI bytes, searched and edited as they are (a UTF-8
//   byte-order mark among them, see profile_text.h).
// A UTF-16 file with an odd number of bytes is damaged: it reads without its
// last byte, and a write to it is refused rather than dropping that byte.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantelo {

class ProfileDocument {
public:
  // The file's bytes as read (empty for a new file, which is ANSI).
  explicit ProfileDocument(std::string_view bytes);

  // The value of the key in the section, in ANSI, cut at limit bytes;
  // nothing when the section or the key is missing. Names are given as by
  // the caller (see profile_text::CallerName).
  std::optional<std::string> Lookup(std::string_view section, std::string_view key,
                                    std::size_t limit = std::string::npos) const;

  // GetPrivateProfileStringA on this text: copies the value, or the default
  // without its trailing spaces when the section or key is missing, into the
  // buffer (at most buffer.size() - 1 bytes and a terminating 0) and returns
  // the number of bytes copied.
  std::size_t GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::span<char> buffer) const;

  // Sets the key to the value in the section as the platform's write does
  // (profile_text::Store). False, changing nothing, for a damaged file.
  bool Store(std::string_view section, std::string_view key, std::string_view value);

  // The file's bytes in its own encoding.
  std::string Bytes() const;

  // The whole text as the A-functions see it, in ANSI; line for line the
  // same as the file.
  std::string AnsiText() const;

  bool IsUnicode() const { return unicode_; }
  bool IsDamaged() const { return damaged_; }

private:
  // Where the first section of a name begins and ends in text_.
  struct Span {
    std::size_t begin = 0, end = 0;
  };
  // The first section of the name (given as by the caller), through an index
  // of the sections built on first use, so that many reads and writes of one
  // document cost one pass over it rather than one each.
  const Span* SectionSpan(std::string_view section) const;
  void StoreText(std::string_view section, std::string_view key, std::string_view value);

  bool unicode_ = false;
  bool damaged_ = false;
  // ANSI: the bytes. Unicode: the text after the mark in UTF-8, where an
  // unpaired surrogate keeps its own three-byte form.
  std::string text_;
  char oddByte_ = 0;
  // Lower-case section name -> its first section; valid while indexed_.
  mutable std::unordered_map<std::string, Span> sections_;
  mutable bool indexed_ = false;
};

} // namespace vantelo
