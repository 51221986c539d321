// Windows1252CodePage: UTF-8 to Windows-1252 and back.
#include "profile/windows1252_code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace vantelo {
namespace {

using namespace std::string_literals;

TEST(PlatformCodePage, AsciiUnchanged) {
  Windows1252CodePage cp;
  std::string ascii;
  for (int c = 0; c < 128; ++c)
    ascii.push_back(static_cast<char>(c));
  EXPECT_EQ(cp.FromUtf8(ascii), ascii);
  EXPECT_EQ(cp.ToUtf8(ascii), ascii);
  EXPECT_EQ(cp.FromUtf8(""), "");
  EXPECT_EQ(cp.ToUtf8(""), "");
}

TEST(PlatformCodePage, EveryByteRoundTrips) {
  Windows1252CodePage cp;
  std::string all;
  for (int c = 0; c < 256; ++c)
    all.push_back(static_cast<char>(c));
  const std::string utf8 = cp.ToUtf8(all);
  EXPECT_EQ(cp.FromUtf8(utf8), all);
  for (int c = 0; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    EXPECT_EQ(cp.FromUtf8(cp.ToUtf8(one)), one) << c;
  }
}

TEST(PlatformCodePage, KnownCharacters) {
  Windows1252CodePage cp;
  struct Case {
    std::string utf8;
    std::string ansi;
  };
  const Case cases[] = {
      {"\u20AC", "\x80"},           // euro sign
      {"\u201A", "\x82"},           // single low quotation mark
      {"\u0192", "\x83"},           // f with hook
      {"\u2026", "\x85"},           // ellipsis
      {"\u0160", "\x8A"},           // S caron
      {"\u0152", "\x8C"},           // OE
      {"\u017D", "\x8E"},           // Z caron
      {"\u2018\u2019", "\x91\x92"}, // single quotes
      {"\u201C\u201D", "\x93\x94"}, // double quotes
      {"\u2013\u2014", "\x96\x97"}, // dashes
      {"\u2122", "\x99"},           // trade mark
      {"\u0178", "\x9F"},           // Y diaeresis
      {"\u00A0", "\xA0"},           // no-break space
      {"\u00B0", "\xB0"},           // degree
      {"\u00E4\u00F6\u00FC\u00DF", "\xE4\xF6\xFC\xDF"},
      {"\u00C4\u00D6\u00DC", "\xC4\xD6\xDC"},
      {"\u00FF", "\xFF"},
      {"Gr\u00F6\u00DFe 3 kg \u00B1 0,5", "Gr\xF6\xDF"
                                          "e 3 kg \xB1 0,5"},
      // The five bytes Windows-1252 leaves undefined map to the C1 controls.
      {"\u0081", "\x81"},
      {"\u008D", "\x8D"},
      {"\u008F", "\x8F"},
      {"\u0090", "\x90"},
      {"\u009D", "\x9D"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cp.FromUtf8(c.utf8), c.ansi) << c.utf8;
    EXPECT_EQ(cp.ToUtf8(c.ansi), c.utf8) << c.utf8;
  }
}

TEST(PlatformCodePage, CharactersOffThePageBecomeQuestionMarks) {
  Windows1252CodePage cp;
  EXPECT_EQ(cp.FromUtf8("\u0080"), "?"); // a C1 control the page does not hold
  EXPECT_EQ(cp.FromUtf8("\u009F"), "?");
  EXPECT_EQ(cp.FromUtf8("\u0100"), "?"); // A macron (no best fit)
  EXPECT_EQ(cp.FromUtf8("\u2764"), "?"); // heavy black heart
  EXPECT_EQ(cp.FromUtf8("\u2764\uFE0F"), "??");
  EXPECT_EQ(cp.FromUtf8("\u4E2D\u6587"), "??");
  EXPECT_EQ(cp.FromUtf8("\U0001F600"), "??"); // one surrogate pair: two code units
  EXPECT_EQ(cp.FromUtf8("a\u03A9b"), "a?b");
  EXPECT_EQ(cp.FromUtf8("\uFFFD"), "?");
}

TEST(PlatformCodePage, InvalidUtf8BecomesQuestionMarks) {
  Windows1252CodePage cp;
  struct Case {
    std::string utf8;
    std::string ansi;
  };
  const Case cases[] = {
      {"\xFF", "?"},
      {"\xFE\xFF", "??"},
      {"\x80", "?"}, // lone continuation byte
      {"a\xBF"
       "b",
       "a?b"},
      {"\xC3", "?"}, // cut at the end
      {"\xC3"
       "a",
       "?a"},            // cut before ASCII
      {"\xE2\x82", "?"}, // cut three-byte sequence: one maximal part
      {"\xE2\x82"
       "A",
       "?A"},
      {"\xF0\x9F\x98", "?"}, // cut four-byte sequence
      {"\xC0\xAF", "??"},    // overlong '/'
      {"\xC1\xBF", "??"},
      {"\xE0\x80\xAF", "???"},      // overlong three-byte
      {"\xED\xA0\x80", "???"},      // a surrogate
      {"\xF4\x90\x80\x80", "????"}, // above U+10FFFF
      {"\xF5\x80\x80\x80", "????"},
      {"\xC3\xA4\xC3", "\xE4?"},
      {"x\0y"s, "x\0y"s}, // NUL passes
  };
  for (const Case& c : cases)
    EXPECT_EQ(cp.FromUtf8(c.utf8), c.ansi);
}

TEST(PlatformCodePage, ArbitraryBytesNeverCrash) {
  Windows1252CodePage cp;
  std::string bytes;
  unsigned x = 12345;
  for (int round = 0; round < 2000; ++round) {
    bytes.clear();
    for (int i = 0; i < round % 37; ++i) {
      x = x * 1103515245u + 12345u;
      bytes.push_back(static_cast<char>(x >> 16));
    }
    const std::string ansi = cp.FromUtf8(bytes);
    EXPECT_LE(ansi.size(), bytes.size());
    EXPECT_EQ(cp.FromUtf8(cp.ToUtf8(bytes)), bytes);
  }
}

} // namespace
} // namespace vantelo
