// The list of section and key lines that a settings check walks: what the
// reader sees on each line, including what a read passes over.
#include "profile/profile_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantelo::profile_text {
namespace {

std::string Describe(const std::vector<Entry>& entries) {
  std::string text;
  for (const Entry& e : entries) {
    text += std::to_string(e.line) + (e.kind == Entry::Kind::Section ? " [" : " ");
    text += std::string(e.name) + (e.kind == Entry::Kind::Section ? "]" : "");
    if (e.kind == Entry::Kind::Key)
      text += e.hasEquals ? "=" + std::string(e.value) : " (no =)";
    text += "\n";
  }
  return text;
}

TEST(PlatformProfileEntries, ListsSectionsAndKeysAsTheReaderSeesThem) {
  using namespace std::string_literals;
  const std::string contents = "outside=1\r\n" // a key before any section
                               "; comment\r\n" // left out
                               "  [ Global Options ] trailing\n"
                               "\n" // blank: left out
                               "  Key  =  \" quoted \"  \r"
                               "Key=again\r\n"
                               "bare\r\n"
                               "[Second]\r\n"
                               "x=1\0hidden\r\n"
                               "last=no line end"s;
  EXPECT_EQ(Describe(Entries(contents)), "1 outside=1\n"
                                         "3 [Global Options]\n"
                                         "5 Key= quoted \n"
                                         "6 Key=again\n"
                                         "7 bare (no =)\n"
                                         "8 [Second]\n"
                                         "9 x=1\n"
                                         "10 last=no line end\n");
}

TEST(PlatformProfileEntries, AnEmptyFileHasNone) { EXPECT_TRUE(Entries("").empty()); }

// The text with every line end made LF.
std::string WithLfOnly(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    out += text[i] == '\r' ? '\n' : text[i];
  }
  return out;
}

// The same lines with CR LF, LF, CR or, line by line, all three (and runs of
// blank lines between) read and write alike: the same entries on the same
// line numbers, the same values, and the same file after a write but for
// the line ends.
TEST(PlatformProfileEntries, EveryKindOfLineEndReadsAndWritesAlike) {
  std::vector<std::string> lines;
  for (int s = 0; s < 300; ++s) {
    lines.push_back("[Section" + std::to_string(s) + "]");
    for (int k = 0; k < 5; ++k)
      lines.push_back(" Key" + std::to_string(k) + " = \"value " + std::to_string(s * 5 + k) +
                      "\"");
    lines.insert(lines.end(), {"; comment", "", "", "bare", std::string(3000, 'x') + "=long"});
  }
  std::vector<std::string> files(4);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const char* ends[] = {"\r\n", "\n", "\r", i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r"};
    for (std::size_t f = 0; f < files.size(); ++f)
      files[f] += lines[i] + (i + 1 < lines.size() ? ends[f] : "");
  }

  const std::string entries = Describe(Entries(files[0]));
  EXPECT_NE(entries.find(std::to_string(lines.size() - 10) + " [Section299]"), std::string::npos);
  for (const std::string& file : files) {
    EXPECT_EQ(Describe(Entries(file)), entries);
    EXPECT_EQ(Lookup(file, "section150", "key3"), "value 753");
    EXPECT_EQ(Lookup(file, "Section299", "bare"), "");
    for (const auto& [section, key] : {std::pair{"Section7", "Key2"},
                                       {"Section7", "New"},
                                       {"Section299", "New"},
                                       {"Other", "New"}})
      EXPECT_EQ(WithLfOnly(Store(file, section, key, "v")),
                WithLfOnly(Store(files[0], section, key, "v")))
          << section << " " << key;
  }
}

} // namespace
} // namespace vantelo::profile_text
