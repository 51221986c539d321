// PortableProfileFile::GetString and profile_text::Lookup: reading as
// GetPrivateProfileStringA does (see docs/profile-files.md).
#include "profile/portable_profile_file.h"
#include "profile/profile_text.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vantelo {
namespace {

using namespace std::string_literals;
using test::TempDir;
using test::WriteBytes;

constexpr const char* kMissing = "<missing>";

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string expected; // kMissing: the default comes back
};

std::ostream& operator<<(std::ostream& os, const ReadCase& c) { return os << c.name; }

const std::vector<ReadCase>& ReadCases() {
  static const std::vector<ReadCase> cases = {
      // Letter case and names given by the caller
      {"CaseInsensitiveNames", "[global options]\r\nENABLETIMESTAMP=1\r\n", "Global Options",
       "EnableTimeStamp", "1"},
      {"CallerSpacesDropped", "[Global Options]\r\nEnableTimeStamp=1\r\n", " Global Options ",
       "  EnableTimeStamp ", "1"},
      {"CallerTabKept", "[S]\r\nK=1\r\n", "S", "K\t", kMissing},
      {"CallerLeadingTabKept", "[S]\r\nK=1\r\n", "\tS", "K", kMissing},
      {"CallerVerticalTabKept", "[S]\r\nK=1\r\n", "S", "\vK", kMissing},
      {"NonAsciiCaseMatters", "[\xC4]\r\nK=1\r\n", "\xE4", "K", kMissing},
      {"NonAsciiSameBytesMatch", "[\xC4]\r\n\xFC=1\r\n", "\xC4", "\xFC", "1"},
      // Blanks in the file
      {"BlanksAroundKeyAndValue", "[S]\r\n  \t Key  =  v  \r\n", "S", "Key", "v"},
      {"BlanksInsideBrackets", "[ S ]\r\nK=v\r\n", "S", "K", "v"},
      {"TabsVerticalTabsInsideBrackets", "  \t[\t\vS \t]\r\nK=v\r\n", "S", "K", "v"},
      {"VerticalTabAroundValue", "[S]\r\nK=\v v\t\v\r\n", "S", "K", "v"},
      {"FormFeedIsNoBlank", "[S]\r\nK=\fv\r\n", "S", "K", "\fv"},
      {"BlanksInsideValueKept", "[S]\r\nK= a  b \r\n", "S", "K", "a  b"},
      // Quotes
      {"QuotesRemovedBlanksKept", "[S]\r\nK=  \"  kg  \"  \r\n", "S", "K", "  kg  "},
      {"SingleQuotes", "[S]\r\nK='x'\r\n", "S", "K", "x"},
      {"OnlyOuterPair", "[S]\r\nK=\"\"x\"\"\r\n", "S", "K", "\"x\""},
      {"OuterPairOfMixed", "[S]\r\nK=\"'x'\"\r\n", "S", "K", "'x'"},
      {"UnlikeEndsStay", "[S]\r\nK=\"x'\r\n", "S", "K", "\"x'"},
      {"UnlikeEndsStay2", "[S]\r\nK='\"x'\"\r\n", "S", "K", "'\"x'\""},
      {"QuoteAtOneEndStays", "[S]\r\nK=\"x\r\n", "S", "K", "\"x"},
      {"QuoteAtEndStays", "[S]\r\nK=x'\r\n", "S", "K", "x'"},
      {"LoneQuote", "[S]\r\nK=\"\r\n", "S", "K", "\""},
      {"EmptyQuotesAreEmpty", "[S]\r\nK=\"\"\r\n", "S", "K", ""},
      {"BlankBetweenQuotes", "[S]\r\nK=\" \"\r\n", "S", "K", " "},
      {"QuotesInKeyNameArePartOfIt", "[S]\r\n\"K\"=v\r\n", "S", "\"K\"", "v"},
      {"QuotedKeyNameNotUnquoted", "[S]\r\n\"K\"=v\r\n", "S", "K", kMissing},
      {"QuotesInSectionName", "['S']\r\nK=v\r\n", "'S'", "K", "v"},
      // Comments
      {"CommentLineSkipped", "[S]\r\n;K=v\r\n", "S", "K", kMissing},
      {"CommentNotReachedBySemicolonKey", "[S]\r\n;K=v\r\n", "S", ";K", kMissing},
      {"CommentAfterBlanks", "[S]\r\n \t;K=v\r\n", "S", "K", kMissing},
      {"SemicolonValue", "[S]\r\nK=;\r\n", "S", "K", ";"},
      {"NoEndOfLineComment", "[S]\r\nK=a ;b\r\n", "S", "K", "a ;b"},
      {"SemicolonInKey", "[S]\r\na ;b=1\r\n", "S", "a ;b", "1"},
      {"SemicolonInSection", "[;S]\r\nK=v\r\n", ";S", "K", "v"},
      {"HashMeansNothing", "[S]\r\n#K=v\r\n", "S", "#K", "v"},
      {"HashKeyIsNotK", "[S]\r\n#K=v\r\n", "S", "K", kMissing},
      {"CommentedSectionIsNoSection", ";[S]\r\nK=v\r\n", "S", "K", kMissing},
      // Square brackets
      {"DoubleOpeningBracket", "[[S]\r\nK=v\r\n", "[S", "K", "v"},
      {"TextAfterBracketIgnored", "[S]x]\r\nK=v\r\n", "S", "K", "v"},
      {"NoteAfterBracketIgnored", "[S] ; note\r\nK=v\r\n", "S", "K", "v"},
      {"NoClosingBracket", "[S   \r\nK=v\r\n", "S", "K", "v"},
      {"ClosingBracketOnlyIsNoSection", "S]\r\nK=v\r\n", "S", "K", kMissing},
      {"KeyAfterBracketIsNoKey", "[S]K=v\r\n", "S", "K", kMissing},
      {"BracketInValue", "[S]\r\nK=v]\r\n", "S", "K", "v]"},
      {"EmptySectionName", "[]\r\nK=v\r\n", "", "K", "v"},
      {"EmptySectionNameWithBlanks", "[  ]\r\nK=v\r\n", " ", "K", "v"},
      // Before the first section
      {"KeyBeforeFirstSection", "K=v\r\n[S]\r\n", "S", "K", kMissing},
      {"KeyBeforeFirstSectionNotInEmptySection", "K=v\r\n[S]\r\n", "", "K", kMissing},
      // Duplicates
      {"FirstKeyWins", "[S]\r\nK=1\r\nk=2\r\n", "S", "K", "1"},
      {"OnlyFirstSectionSearched", "[S]\r\nA=1\r\n[S]\r\nK=v\r\n", "S", "K", kMissing},
      {"FirstSectionFound", "[S]\r\nA=1\r\n[S]\r\nK=v\r\n", "S", "A", "1"},
      {"SectionsApart", "[S]\r\nA=1\r\n[T]\r\nA=2\r\n", "T", "A", "2"},
      {"KeyInOtherSectionNotFound", "[S]\r\nA=1\r\n[T]\r\nB=2\r\n", "S", "B", kMissing},
      // Empty values and lines without '='
      {"EmptyValue", "[S]\r\nK=\r\n", "S", "K", ""},
      {"BlankValue", "[S]\r\nK=   \r\n", "S", "K", ""},
      {"LineWithoutEqualsIsEmptyKey", "[S]\r\nK\r\n", "S", "K", ""},
      {"LineWithoutEqualsBlanks", "[S]\r\n  K \t\r\n", "S", "K", ""},
      {"EmptyKeyName", "[S]\r\n=v\r\n", "S", "", "v"},
      {"SecondEqualsInValue", "[S]\r\nK=a=b\r\n", "S", "K", "a=b"},
      // Missing
      {"EmptyFile", "", "S", "K", kMissing},
      {"MissingSection", "[S]\r\nK=v\r\n", "T", "K", kMissing},
      {"MissingKey", "[S]\r\nK=v\r\n", "S", "L", kMissing},
      // Line ends
      {"LastLineWithoutLineEnd", "[S]\r\nK=v", "S", "K", "v"},
      {"LfOnly", "[S]\nA=1\nK=v\n", "S", "K", "v"},
      {"CrOnly", "[S]\rA=1\rK=v\r", "S", "K", "v"},
      {"MixedLineEnds", "[S]\nA=1\r\nB=2\rK=v", "S", "K", "v"},
      {"LoneCrLfBeforeSection", "\r\n\n\r[S]\r\nK=v\r\n", "S", "K", "v"},
      {"BlankLines", "\r\n[S]\r\n\r\n  \r\nK=v\r\n\r\n", "S", "K", "v"},
      {"CrCrLf", "[S]\r\r\nK=v\r\r\n", "S", "K", "v"},
      // Byte-order mark, NUL bytes, other bytes
      {"BomSpoilsFirstSection", "\xEF\xBB\xBF[S]\r\nK=v\r\n", "S", "K", kMissing},
      {"BomLaterSectionsRead", "\xEF\xBB\xBF[S]\r\nK=v\r\n[T]\r\nK=w\r\n", "T", "K", "w"},
      {"BomLineThenSection", "\xEF\xBB\xBF\r\n[S]\r\nK=v\r\n", "S", "K", "v"},
      {"NulEndsValue", "[S]\r\nK=ab\0cd\r\n"s, "S", "K", "ab"},
      {"NulEndsValueBeforeTrimming", "[S]\r\nK= \"ab \0cd\"\r\n"s, "S", "K", "\"ab"},
      {"NulEndsSectionLine", "[S\0]x\r\nK=v\r\n"s, "S", "K", "v"},
      {"NulLineIsBlank", "[S]\r\n\0K=1\r\nK=2\r\n"s, "S", "K", "2"},
      {"NulBeforeEqualsMakesKeyWithoutValue", "[S]\r\nK\0=1\r\n"s, "S", "K", ""},
      {"CallerNameEndsAtNul", "[S]\r\nK=v\r\n", "S\0junk"s, "K\0x"s, "v"},
      {"HighBytes", "[\x80\xFF]\r\n\xE4=\xFC\xDF\r\n", "\x80\xFF", "\xE4", "\xFC\xDF"},
      {"ControlBytes", "[S]\r\n\x01K\x02=\x1B\r\n", "S", "\x01K\x02", "\x1B"},
  };
  return cases;
}

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, Lookup) {
  const ReadCase& c = GetParam();
  std::optional<std::string_view> value = profile_text::Lookup(c.file, c.section, c.key);
  if (c.expected == kMissing) {
    EXPECT_FALSE(value.has_value()) << "got \"" << *value << "\"";
  } else {
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, c.expected);
  }
}

TEST_P(ProfileRead, GetStringFromFile) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, c.file);
  PortableProfileFile profile(test::Windows1252());
  std::vector<char> buffer(255, 'X');
  std::size_t n = profile.GetString(c.section, c.key, "DEF", buffer, file);
  const std::string expected = c.expected == kMissing ? "DEF" : c.expected;
  ASSERT_LT(n, buffer.size());
  EXPECT_EQ(buffer[n], '\0');
  EXPECT_EQ(std::string(buffer.data(), n), expected);
}

INSTANTIATE_TEST_SUITE_P(Platform, ProfileRead, ::testing::ValuesIn(ReadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Reads with a buffer of the given size; checks the terminator.
struct Read {
  std::string text;
  std::size_t count = 0;
};

Read GetString(ProfileFile& profile, const std::string& section, const std::string& key,
               const std::string& def, const std::string& file, std::size_t size = 255) {
  std::vector<char> buffer(size + 1, 'X'); // one guard byte after the buffer
  std::size_t n = profile.GetString(section, key, def, std::span<char>(buffer.data(), size), file);
  EXPECT_EQ(buffer[size], 'X') << "wrote past the buffer";
  Read r;
  r.count = n;
  if (size > 0) {
    EXPECT_LT(n, size);
    EXPECT_EQ(buffer[n], '\0');
    r.text.assign(buffer.data(), n);
  }
  return r;
}

// A private directory with the file name a.ini in it (the file is not
// created) and a reader on the real file system.
class PlatformProfileRead : public ::testing::Test {
protected:
  TempDir dir;
  const std::string file = dir.Path("a.ini");
  PortableProfileFile profile{test::Windows1252()};
};

TEST_F(PlatformProfileRead, LongValueIsCutToBufferLessOne) {
  for (std::size_t length : {253u, 254u, 255u, 256u, 300u, 65535u, 65536u, 65537u}) {
    std::string value;
    for (std::size_t i = 0; i < length; ++i)
      value.push_back(static_cast<char>('a' + i % 26));
    WriteBytes(file, "[S]\r\nK=" + value + "\r\n");
    Read r = GetString(profile, "S", "K", "", file);
    const std::size_t expected = std::min<std::size_t>(length, 254);
    EXPECT_EQ(r.count, expected) << length;
    EXPECT_EQ(r.text, value.substr(0, expected)) << length;
  }
}

TEST_F(PlatformProfileRead, EmptyValueGivesEmptyAndZeroNotTheDefault) {
  WriteBytes(file, "[S]\r\nK=\r\nB=   \r\n");
  Read r = GetString(profile, "S", "K", "", file);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.text, "");
  r = GetString(profile, "S", "B", "DEF", file);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.text, "");
}

TEST_F(PlatformProfileRead, MissingFileSectionKeyGiveDefault) {
  Read r = GetString(profile, "S", "K", "", file);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.text, "");
  r = GetString(profile, "S", "K", "dflt", file);
  EXPECT_EQ(r.count, 4u);
  EXPECT_EQ(r.text, "dflt");
  EXPECT_FALSE(test::Exists(file)) << "a read must not create the file";
  r = GetString(profile, "S", "K", "dflt", dir.Path("no/such/dir/a.ini"));
  EXPECT_EQ(r.text, "dflt");
  WriteBytes(file, "[S]\r\nK=v\r\n");
  EXPECT_EQ(GetString(profile, "T", "K", "d", file).text, "d");
  EXPECT_EQ(GetString(profile, "S", "L", "d", file).text, "d");
}

TEST_F(PlatformProfileRead, DefaultLosesTrailingSpacesAndIsCut) {
  Read r = GetString(profile, "S", "K", "  d e  ", file);
  EXPECT_EQ(r.text, "  d e");
  EXPECT_EQ(r.count, 5u);
  r = GetString(profile, "S", "K", "\td\t", file);
  EXPECT_EQ(r.text, "\td\t");
  r = GetString(profile, "S", "K", std::string(300, 'x'), file);
  EXPECT_EQ(r.count, 254u);
  r = GetString(profile, "S", "K", "ab\0cd"s, file);
  EXPECT_EQ(r.text, "ab");
}

TEST_F(PlatformProfileRead, TinyBuffersAreSafe) {
  WriteBytes(file, "[S]\r\nK=value\r\n");
  Read r = GetString(profile, "S", "K", "", file, 0);
  EXPECT_EQ(r.count, 0u);
  r = GetString(profile, "S", "K", "", file, 1);
  EXPECT_EQ(r.count, 0u);
  EXPECT_EQ(r.text, "");
  r = GetString(profile, "S", "K", "", file, 2);
  EXPECT_EQ(r.count, 1u);
  EXPECT_EQ(r.text, "v");
  r = GetString(profile, "S", "missing", "default", file, 1);
  EXPECT_EQ(r.count, 0u);
  r = GetString(profile, "S", "missing", "default", file, 0);
  EXPECT_EQ(r.count, 0u);
}

TEST_F(PlatformProfileRead, HugeKeyNameMatches) {
  std::string key(1 << 20, 'k');
  WriteBytes(file, "[S]\r\n" + key + "=v\r\n");
  std::string upper(1 << 20, 'K');
  EXPECT_EQ(GetString(profile, "S", upper, "", file).text, "v");
}

TEST_F(PlatformProfileRead, BackslashesInThePathAreSeparators) {
  WriteBytes(dir.Path("a.ini"), "[S]\r\nK=v\r\n");
  EXPECT_EQ(GetString(profile, "S", "K", "", dir.Path() + "\\a.ini").text, "v");
}

TEST_F(PlatformProfileRead, NotARegularFileReadsAsMissing) {
  EXPECT_EQ(GetString(profile, "S", "K", "d", dir.Path()).text, "d");
  EXPECT_EQ(GetString(profile, "S", "K", "d", "/dev/null").text, "d");
  EXPECT_EQ(GetString(profile, "S", "K", "d", "").text, "d");
  // A FIFO must not block the read.
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(GetString(profile, "S", "K", "d", fifo).text, "d");
}

TEST_F(PlatformProfileRead, ReadsThroughSymbolicLink) {
  WriteBytes(dir.Path("real.ini"), "[S]\r\nK=v\r\n");
  std::filesystem::create_symlink("real.ini", dir.Path("link.ini"));
  EXPECT_EQ(GetString(profile, "S", "K", "", dir.Path("link.ini")).text, "v");
}

TEST_F(PlatformProfileRead, OneWholeFileReadPerCall) {
  auto fs = std::make_shared<test::FaultyFileSystem>(); // counts the reads
  PortableProfileFile counted(test::Windows1252(), fs);
  std::string contents = "[S]\r\n";
  for (int i = 0; i < 26; ++i)
    contents += "Key" + std::to_string(i) + "=Value " + std::to_string(i) + "\r\n";
  WriteBytes(file, contents);
  for (int i = 0; i < 26; ++i)
    EXPECT_EQ(GetString(counted, "S", "Key" + std::to_string(i), "", file).text,
              "Value " + std::to_string(i));
  EXPECT_EQ(fs->reads, 26);
}

TEST_F(PlatformProfileRead, WholeFileReadsOfLargeEmptyAndMissingFiles) {
  using Result = PortableProfileFile::ReadResult;
  std::string contents;
  WriteBytes(dir.Path("empty"), "");
  EXPECT_EQ(profile.Read(dir.Path("empty"), contents), Result::Ok);
  EXPECT_EQ(contents, "");
  std::string big(3 * 1024 * 1024 + 7, '\0');
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>(i * 7919 % 251);
  WriteBytes(dir.Path("big"), big);
  EXPECT_EQ(profile.Read(dir.Path("big"), contents), Result::Ok);
  EXPECT_EQ(contents, big);
  EXPECT_EQ(profile.Read(dir.Path("none"), contents), Result::Missing);
  EXPECT_EQ(profile.Read(dir.Path("big/x"), contents), Result::Missing);
  EXPECT_EQ(profile.Read(dir.Path(), contents), Result::Failed);
  EXPECT_NE(profile.Problem().find(dir.Path()), std::string::npos) << profile.Problem();
}

} // namespace
} // namespace vantelo
