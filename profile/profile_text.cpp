#include "profile/profile_text.h"

#include "platform/ascii_case.h"

#include <cstddef>

namespace vantelo::profile_text {

namespace {

// One line of the file, as offsets into the contents.
struct Line {
  std::size_t begin = 0;   // first byte of the line
  std::size_t textEnd = 0; // end of the line's bytes, before the line end
  std::size_t end = 0;     // after the line end
  bool HasLineEnd() const { return end > textEnd; }
};

// The lines of the contents, one after the other. A line ends at the first
// LF or CR; a CR directly followed by LF ends it too. Each search for the
// line end is bounded by the next LF, which is found once and kept until the
// lines pass it: the work stays proportional to the contents' size whatever
// line ends they use (a search for LF from every line would run to the end
// of a file whose lines all end in CR). Two memchr searches instead of one
// search for either byte: much faster on long lines.
class LineScanner {
public:
  explicit LineScanner(std::string_view contents)
      : contents_(contents), nextLf_(contents.find('\n')) {}

  // The next line; false after the last one.
  bool Next(Line& line) {
    if (pos_ >= contents_.size())
      return false;
    if (nextLf_ < pos_)
      nextLf_ = contents_.find('\n', pos_);
    std::size_t i = nextLf_;
    const std::size_t cr = contents_.substr(0, i).find('\r', pos_);
    if (cr != std::string_view::npos)
      i = cr;
    line.begin = pos_;
    if (i == std::string_view::npos) {
      line.textEnd = line.end = contents_.size();
    } else {
      line.textEnd = i;
      line.end = i + 1;
      if (contents_[i] == '\r' && i + 1 < contents_.size() && contents_[i + 1] == '\n')
        line.end = i + 2;
    }
    pos_ = line.end;
    return true;
  }

private:
  std::string_view contents_;
  std::size_t pos_ = 0;
  // The first LF from where it was last searched for (npos: none left);
  // searched for again once the lines have passed it.
  std::size_t nextLf_;
};

enum class Kind { Blank, Comment, Section, Key };

// What a line means. Names and values point into the contents.
struct Parsed {
  Kind kind = Kind::Blank;
  std::string_view name;                       // section or key name, trimmed
  std::string_view value;                      // key value, trimmed and unquoted
  std::size_t equals = std::string_view::npos; // offset of a key's '=' in the contents
  std::size_t nameEnd = 0; // offset just after a key's trimmed name in the contents
};

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b]))
    ++b;
  std::size_t e = s.size();
  while (e > b && IsBlank(s[e - 1]))
    --e;
  return s.substr(b, e - b);
}

std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && s.front() == s.back() && (s.front() == '"' || s.front() == '\''))
    return s.substr(1, s.size() - 2);
  return s;
}

Parsed Parse(std::string_view contents, const Line& line) {
  Parsed p;
  std::string_view text = contents.substr(line.begin, line.textEnd - line.begin);
  text = text.substr(0, text.find('\0')); // a NUL ends the line's text
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start]))
    ++start;
  if (start == text.size())
    return p; // blank
  if (text[start] == ';') {
    p.kind = Kind::Comment;
    return p;
  }
  if (text[start] == '[') {
    p.kind = Kind::Section;
    std::string_view inside = text.substr(start + 1);
    inside = inside.substr(0, inside.find(']'));
    p.name = TrimBlanks(inside);
    return p;
  }
  p.kind = Kind::Key;
  std::size_t eq = text.find('=', start);
  std::string_view name = text.substr(start, eq == std::string_view::npos ? eq : eq - start);
  p.name = TrimBlanks(name);
  p.nameEnd = line.begin + start + p.name.size();
  if (eq != std::string_view::npos) {
    p.equals = line.begin + eq;
    p.value = Unquote(TrimBlanks(text.substr(eq + 1)));
  }
  return p;
}

// New lines end in CR LF whatever the file's own line ends, as the platform
// writes them.
constexpr std::string_view kNewLineEnd = "\r\n";

} // namespace

std::string_view CallerText(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string_view CallerName(std::string_view name) {
  name = CallerText(name);
  std::size_t b = name.find_first_not_of(' ');
  if (b == std::string_view::npos)
    return {};
  std::size_t e = name.find_last_not_of(' ');
  return name.substr(b, e - b + 1);
}

std::optional<std::string_view> Lookup(std::string_view contents, std::string_view section,
                                       std::string_view key) {
  section = CallerName(section);
  key = CallerName(key);
  bool inSection = false;
  LineScanner lines(contents);
  for (Line line; lines.Next(line);) {
    Parsed p = Parse(contents, line);
    if (p.kind == Kind::Section) {
      if (inSection)
        return std::nullopt; // only the first section of the name is searched
      inSection = EqualsIgnoringAsciiCase(p.name, section);
    } else if (p.kind == Kind::Key && inSection && EqualsIgnoringAsciiCase(p.name, key)) {
      return p.value;
    }
  }
  return std::nullopt;
}

std::string Store(std::string_view contents, std::string_view section, std::string_view key,
                  std::string_view value) {
  section = CallerName(section);
  key = CallerName(key);
  value = CallerText(value);
  const std::string_view eol = kNewLineEnd;

  bool inSection = false;
  bool sectionFound = false;
  Line anchor; // the section line, later its last key line
  LineScanner lines(contents);
  for (Line line; lines.Next(line);) {
    Parsed p = Parse(contents, line);
    if (p.kind == Kind::Section) {
      if (inSection)
        break; // end of the first section of the name
      if (EqualsIgnoringAsciiCase(p.name, section)) {
        inSection = sectionFound = true;
        anchor = line;
      }
    } else if (p.kind == Kind::Key && inSection) {
      if (EqualsIgnoringAsciiCase(p.name, key)) {
        // Replace the value on this line.
        std::string out;
        out.reserve(contents.size() + value.size() + 2);
        if (p.equals != std::string_view::npos) {
          out.append(contents.substr(0, p.equals + 1));
        } else {
          out.append(contents.substr(0, p.nameEnd));
          out.push_back('=');
        }
        out.append(value);
        if (line.HasLineEnd())
          out.append(contents.substr(line.textEnd, line.end - line.textEnd));
        else
          out.append(eol);
        out.append(contents.substr(line.end));
        return out;
      }
      anchor = line;
    }
  }

  std::string out;
  out.reserve(contents.size() + section.size() + key.size() + value.size() + 10);
  if (sectionFound) {
    // A new key directly after the section's last key line (or its header).
    out.append(contents.substr(0, anchor.end));
    if (!anchor.HasLineEnd())
      out.append(eol);
    out.append(key).append("=").append(value).append(eol);
    out.append(contents.substr(anchor.end));
    return out;
  }
  // A new section at the end.
  out.append(contents);
  if (!contents.empty() && contents.back() != '\n' && contents.back() != '\r')
    out.append(eol);
  out.append("[").append(section).append("]").append(eol);
  out.append(key).append("=").append(value).append(eol);
  return out;
}

std::vector<Entry> Entries(std::string_view contents) {
  std::vector<Entry> entries;
  std::size_t number = 0;
  LineScanner lines(contents);
  for (Line line; lines.Next(line);) {
    ++number;
    Parsed p = Parse(contents, line);
    if (p.kind == Kind::Section)
      entries.push_back({Entry::Kind::Section, number, p.name, {}, false});
    else if (p.kind == Kind::Key)
      entries.push_back(
          {Entry::Kind::Key, number, p.name, p.value, p.equals != std::string_view::npos});
  }
  return entries;
}

std::vector<SectionLine> Sections(std::string_view contents) {
  std::vector<SectionLine> sections;
  LineScanner lines(contents);
  for (Line line; lines.Next(line);) {
    std::size_t first = line.begin;
    while (first < line.textEnd && IsBlank(contents[first]))
      ++first;
    if (first == line.textEnd || contents[first] != '[')
      continue; // only a section line needs parsing
    Parsed p = Parse(contents, line);
    if (p.kind == Kind::Section)
      sections.push_back({line.begin, p.name});
  }
  return sections;
}

} // namespace vantelo::profile_text
