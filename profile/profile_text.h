// The text of a Windows profile (INI) file, read and edited in memory the way
// GetPrivateProfileStringA and WritePrivateProfileStringA treat it. Pure
// functions on bytes, without any file access, so they can be tested and
// fuzzed on their own. What this relies on of Windows' behaviour, and what
// was decided where it is not known: docs/profile-files.md.
//
// The model, including the decisions where Windows' behaviour is unclear:
//
// Lines. A line ends with CR LF, a lone LF or a lone CR; the last line may have
//   no line end. So CR LF (Windows), LF-only (Linux) and CR-only files all
//   read the same. The line end is not part of the line's text.
// NUL bytes. The text of a line ends at its first NUL byte for the parser, as
//   a C-string parser would see it; the rest of that line is ignored (and kept
//   byte for byte when the line is not rewritten). Names and values given by
//   the caller also end at their first NUL, as with the A-functions' char*.
// Blanks. Space, tab and vertical tab. In the file they are dropped before the
//   first character of a line, inside the brackets around a section name,
//   around a key name and around a value. Names given by the caller have only
//   spaces dropped around them (tabs stay and are then part of the name).
// Blank lines (nothing but blanks) mean nothing and are kept.
// Comments. A line whose first character after blanks is ';'. Nowhere else
//   does ';' mean anything; '#' means nothing at all.
// Sections. A line whose first character after blanks is '['. The name runs to
//   the first ']' or the end of the line and is trimmed; text after the ']' is
//   ignored. Only the first section of a name is searched and written to.
// Keys. Any other line inside a section. The key name runs to the first '='
//   and is trimmed; the value is the rest, trimmed, and then stripped of one
//   enclosing pair of the same quote character (" or '). A lone quote at one
//   end stays; a value of just "" or '' is empty. A line without '=' is a key
//   whose value is empty (as Wine treats it): it reads as empty, a write to it
//   turns it into "name=value", and it counts as a key line for placing new
//   keys. Keys before the first section belong to no section and are never
//   read (not even with section ""). The first occurrence of a key wins.
// Letter case. Names match without regard to the case of the ASCII letters
//   only; other bytes (such as the Windows-1252 letters ä/Ä) must match exactly.
// UTF-8 byte-order mark. Not understood: its bytes are part of the first
//   line's text, so a section header on line 1 is not recognised.
// UTF-16. These functions take bytes; a file with the UTF-16 LE byte-order
//   mark is converted around them by ProfileDocument.
// Long lines. No limit on line or name length; values are returned whole (the
//   caller cuts them to its buffer; there is no wrap-around at 64 KiB).
//
// Writing:
// - An existing key (the first occurrence in the first section of the name,
//   i.e. the one a read finds) gets its value replaced on its own line: the
//   line's bytes up to and including its '=' stay (so the file's spelling and
//   indentation of the key stay), then the value exactly as given, then the
//   line's own line end (or a new one when it was the last line without one).
// - A new key in an existing section goes directly after the last key line of
//   that section, or directly after the section line when the section has no
//   keys; so before any comment and blank lines that follow. Several new keys
//   keep the order in which they were written.
// - A new section is appended at the end as "[Name]" EOL "Key=Value" EOL, with
//   a line end added first when the file does not end with one.
// - New line ends (EOL) are CR LF, as Windows writes them, whatever the
//   file's own line ends are (an LF-only file then has mixed line ends,
//   which every reader here and on Windows takes).
// - Every other byte of the file stays as it was.
// - Names and the value are written raw: a CR or LF in them goes into the file
//   as it is, a key starting with ';' makes a comment line (which later reads
//   and writes never match), as on Windows.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo::profile_text {

// True for the blanks of the profile format: space, tab, vertical tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

// A name as the caller gives it: up to its first NUL, spaces around it dropped.
std::string_view CallerName(std::string_view name);

// A text given by the caller as the A-functions see it: up to its first NUL.
std::string_view CallerText(std::string_view text);

// The value of the key in the section, or nothing when the section or the key
// is missing. The names are given as by the caller (see CallerName). The
// result points into contents.
std::optional<std::string_view> Lookup(std::string_view contents, std::string_view section,
                                       std::string_view key);

// The contents with the key set to the value in the section, as
// WritePrivateProfileStringA would leave the file.
std::string Store(std::string_view contents, std::string_view section, std::string_view key,
                  std::string_view value);

// One section line or key line of a file, as the reader sees it.
struct Entry {
  enum class Kind { Section, Key };
  Kind kind = Kind::Key;
  std::size_t line = 0;   // 1-based line number
  std::string_view name;  // trimmed section or key name
  std::string_view value; // a key's value, trimmed and unquoted; empty for sections
  bool hasEquals = false; // a key line with an '='
};

// Every section line and key line in file order, keys before the first
// section included (they are never read). Comment and blank lines are left
// out. Names and values point into contents. Lets a checker see what a read
// would find and what it would pass over (repeated sections and keys).
std::vector<Entry> Entries(std::string_view contents);

// One section line: where it begins in the contents and its trimmed name
// (pointing into the contents).
struct SectionLine {
  std::size_t begin = 0;
  std::string_view name;
};

// Every section line in file order. A section's lines run from its section
// line to the next section line (of any name) or the end.
std::vector<SectionLine> Sections(std::string_view contents);

} // namespace vantelo::profile_text
