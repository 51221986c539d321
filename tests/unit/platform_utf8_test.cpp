// UTF-8 sequences: every length written and read back, and the sequences
// that are read as no sequence at all.
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace vantelo {
namespace {

using namespace std::string_literals;

TEST(PlatformUtf8, EveryLengthRoundTripsAtItsEdges) {
  const struct {
    char32_t codePoint;
    std::size_t length;
  } cases[] = {{0x00, 1},   {0x7F, 1},    {0x80, 2},     {0x7FF, 2},     {0x800, 3},
               {0xFFFF, 3}, {0x10000, 4}, {0x10FFFF, 4}, {U'\u00E9', 2}, {U'\u20AC', 3}};
  for (const auto& c : cases) {
    std::string text = "x";
    AppendUtf8(text, c.codePoint);
    ASSERT_EQ(text.size(), 1 + c.length) << std::hex << static_cast<unsigned>(c.codePoint);
    const auto sequence = Utf8SequenceAt(text, 1);
    ASSERT_TRUE(sequence) << std::hex << static_cast<unsigned>(c.codePoint);
    EXPECT_EQ(sequence->codePoint, c.codePoint);
    EXPECT_EQ(sequence->length, c.length);
  }
}

TEST(PlatformUtf8, BrokenSequencesAreNone) {
  for (const std::string& text : {"\x80"s,         // a continuation byte first
                                  "\xC3"s,         // cut short
                                  "\xE2\x82"s,     // cut short
                                  "\xC3\x41"s,     // not continued
                                  "\xF0\x9F\x98"s, // cut short
                                  "\xF8\x88\x80\x80\x80"s, "\xFF"s})
    EXPECT_FALSE(Utf8SequenceAt(text, 0)) << ::testing::PrintToString(text);
}

} // namespace
} // namespace vantelo
