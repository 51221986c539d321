// The list of section and key lines that a settings check walks: what the
// reader sees on each line, including what a read passes over.
#include "platform/profile_text.h"

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

} // namespace
} // namespace vantelo::profile_text
