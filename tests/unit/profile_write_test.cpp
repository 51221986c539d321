// PortableProfileFile::WriteString and profile_text::Store: writing as
// WritePrivateProfileStringA does (see docs/profile-files.md).
#include "platform/ascii_case.h"
#include "profile/portable_profile_file.h"
#include "profile/profile_text.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vantelo {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct Write {
  std::string section, key, value;
};

struct WriteCase {
  const char* name;
  std::optional<std::string> before; // nothing: no file yet
  std::vector<Write> writes;
  std::string after;
};

std::ostream& operator<<(std::ostream& os, const WriteCase& c) { return os << c.name; }

const std::vector<WriteCase>& WriteCases() {
  static const std::vector<WriteCase> cases = {
      // New and empty files
      {"NewFile", std::nullopt, {{"S", "K", "V"}}, "[S]\r\nK=V\r\n"},
      {"EmptyFile", "", {{"S", "K", "V"}}, "[S]\r\nK=V\r\n"},
      {"NewFileTwoKeys", std::nullopt, {{"S", "A", "1"}, {"S", "B", "2"}}, "[S]\r\nA=1\r\nB=2\r\n"},
      // Names and values
      {"NameSpacesDropped", std::nullopt, {{" S ", "  K ", "V"}}, "[S]\r\nK=V\r\n"},
      {"NameTabsKept", std::nullopt, {{"\tS\t", "K\v", "V"}}, "[\tS\t]\r\nK\v=V\r\n"},
      {"ValueWrittenExactly", std::nullopt, {{"S", "K", " v \t"}}, "[S]\r\nK= v \t\r\n"},
      {"ValueQuotesWrittenRaw", std::nullopt, {{"S", "K", "\" \""}}, "[S]\r\nK=\" \"\r\n"},
      {"ValueLineBreaksRaw", std::nullopt, {{"S", "K", "a\r\nb"}}, "[S]\r\nK=a\r\nb\r\n"},
      {"ValueEndsAtNul", std::nullopt, {{"S", "K", "ab\0cd"s}}, "[S]\r\nK=ab\r\n"},
      {"EmptyValue", std::nullopt, {{"S", "K", ""}}, "[S]\r\nK=\r\n"},
      {"EmptySectionName", std::nullopt, {{"", "K", "V"}}, "[]\r\nK=V\r\n"},
      {"HighBytes", std::nullopt, {{"\xC4", "\xFC", "\x80\xFF"}}, "[\xC4]\r\n\xFC=\x80\xFF\r\n"},
      // Existing key
      {"ReplaceValue", "[S]\r\nK=1\r\n", {{"S", "K", "2"}}, "[S]\r\nK=2\r\n"},
      {"ReplaceKeepsFileSpelling",
       "[global options]\r\nENABLETIMESTAMP=True\r\n",
       {{"Global Options", "EnableTimeStamp", "TRUE"}},
       "[global options]\r\nENABLETIMESTAMP=TRUE\r\n"},
      {"ReplaceKeepsIndentation",
       "[S]\r\n \t K  =  old  \r\n",
       {{"S", "K", "new"}},
       "[S]\r\n \t K  =new\r\n"},
      {"ReplaceWithEmpty", "[S]\r\nK=abc\r\nL=1\r\n", {{"S", "K", ""}}, "[S]\r\nK=\r\nL=1\r\n"},
      {"ReplaceQuotedValue", "[S]\r\nK=\"a\"\r\n", {{"S", "K", "b"}}, "[S]\r\nK=b\r\n"},
      {"ReplaceLastLineWithoutLineEnd", "[S]\r\nK=V", {{"S", "K", "V2"}}, "[S]\r\nK=V2\r\n"},
      {"ReplaceFirstDuplicateKey",
       "[S]\r\nK=1\r\nK=2\r\n",
       {{"S", "K", "9"}},
       "[S]\r\nK=9\r\nK=2\r\n"},
      {"ReplaceKeepsOtherLines",
       "[S]\r\n;c\r\nA=1\r\nK=1\r\nB=2\r\n[T]\r\nK=1\r\n",
       {{"S", "K", "x"}},
       "[S]\r\n;c\r\nA=1\r\nK=x\r\nB=2\r\n[T]\r\nK=1\r\n"},
      {"ReplaceInSecondSection",
       "[S]\r\nK=1\r\n[T]\r\nK=1\r\n",
       {{"t", "k", "2"}},
       "[S]\r\nK=1\r\n[T]\r\nK=2\r\n"},
      {"ReplaceSameValueKeepsFile",
       "[S]\r\n K = 1 \r\n",
       {{"S", "K", " 1 "}},
       "[S]\r\n K = 1 \r\n"},
      {"ReplaceLineWithoutEquals", "[S]\r\n  K \t\r\n", {{"S", "K", "V"}}, "[S]\r\n  K=V\r\n"},
      {"ReplaceDropsBytesAfterNul", "[S]\r\nK=a\0b\r\n"s, {{"S", "K", "c"}}, "[S]\r\nK=c\r\n"},
      // New key in an existing section
      {"NewKeyAfterLastKeyBeforeComment",
       "[S]\r\nA=1\r\n;end\r\n",
       {{"S", "B", "2"}},
       "[S]\r\nA=1\r\nB=2\r\n;end\r\n"},
      {"NewKeysKeepOrder",
       "[S]\r\nA=1\r\n;end\r\n",
       {{"S", "B", "2"}, {"S", "C", "3"}},
       "[S]\r\nA=1\r\nB=2\r\nC=3\r\n;end\r\n"},
      {"NewCommentsComeOutReversed",
       "[S]\r\nA=1\r\n",
       {{"S", ";x", "1"}, {"S", ";y", "2"}},
       "[S]\r\nA=1\r\n;y=2\r\n;x=1\r\n"},
      {"SemicolonKeyNeverMatched",
       "[S]\r\n;x=1\r\n",
       {{"S", ";x", "2"}},
       "[S]\r\n;x=2\r\n;x=1\r\n"},
      {"NewKeyBeforeBlankLineAndNextSection",
       "[S]\r\nA=1\r\n\r\n[T]\r\nX=1\r\n",
       {{"S", "B", "2"}},
       "[S]\r\nA=1\r\nB=2\r\n\r\n[T]\r\nX=1\r\n"},
      {"NewKeyAfterKeysAcrossBlankLines",
       "[S]\r\nA=1\r\n\r\nB=2\r\n\r\n",
       {{"S", "C", "3"}},
       "[S]\r\nA=1\r\n\r\nB=2\r\nC=3\r\n\r\n"},
      {"NewKeyInSectionWithoutKeys",
       "[S]\r\n;c\r\n[T]\r\n",
       {{"S", "K", "V"}},
       "[S]\r\nK=V\r\n;c\r\n[T]\r\n"},
      {"NewKeyAfterLineWithoutEquals",
       "[S]\r\njunk\r\n;c\r\n",
       {{"S", "B", "2"}},
       "[S]\r\njunk\r\nB=2\r\n;c\r\n"},
      {"NewKeyAfterHeaderWithoutLineEnd", "[S]", {{"S", "K", "V"}}, "[S]\r\nK=V\r\n"},
      {"NewKeyAfterLastLineWithoutLineEnd",
       "[S]\r\nA=1",
       {{"S", "B", "2"}},
       "[S]\r\nA=1\r\nB=2\r\n"},
      {"NewKeyGoesToFirstDuplicateSection",
       "[S]\r\nA=1\r\n[S]\r\nB=1\r\n",
       {{"S", "B", "5"}},
       "[S]\r\nA=1\r\nB=5\r\n[S]\r\nB=1\r\n"},
      {"NewKeyCaseInsensitiveSection",
       "[sEcT]\r\nA=1\r\n",
       {{"Sect", "B", "2"}},
       "[sEcT]\r\nA=1\r\nB=2\r\n"},
      {"KeysBeforeFirstSectionStay", "K=0\r\n[S]\r\n", {{"S", "K", "V"}}, "K=0\r\n[S]\r\nK=V\r\n"},
      // New section
      {"NewSectionAppended", "[S]\r\nA=1\r\n", {{"T", "K", "V"}}, "[S]\r\nA=1\r\n[T]\r\nK=V\r\n"},
      {"NewSectionAfterNoFinalLineEnd",
       "[S]\r\nA=1",
       {{"T", "K", "V"}},
       "[S]\r\nA=1\r\n[T]\r\nK=V\r\n"},
      {"NewSectionAfterTrailingComment",
       "[S]\r\nA=1\r\n;end\r\n\r\n",
       {{"T", "K", "V"}},
       "[S]\r\nA=1\r\n;end\r\n\r\n[T]\r\nK=V\r\n"},
      {"NewSectionAfterBomOnly",
       "\xEF\xBB\xBF",
       {{"S", "K", "V"}},
       "\xEF\xBB\xBF\r\n[S]\r\nK=V\r\n"},
      {"BomSpoiledSectionGetsNewOne",
       "\xEF\xBB\xBF[S]\r\nK=1\r\n",
       {{"S", "K", "2"}},
       "\xEF\xBB\xBF[S]\r\nK=1\r\n[S]\r\nK=2\r\n"},
      {"NewSectionGivenSpelling",
       "[S]\r\n",
       {{"New Section", "NewKey", "v"}},
       "[S]\r\n[New Section]\r\nNewKey=v\r\n"},
      // Line ends
      {"LfFileGetsCrLfForNewLines",
       "[S]\nA=1\n",
       {{"S", "B", "2"}, {"T", "K", "V"}, {"S", "A", "0"}},
       "[S]\nA=0\nB=2\r\n[T]\r\nK=V\r\n"},
      {"LfFileWithoutFinalLineEnd", "[S]\nA=1", {{"T", "K", "V"}}, "[S]\nA=1\r\n[T]\r\nK=V\r\n"},
      {"CrOnlyFileGetsCrLf",
       "[S]\rA=1\r",
       {{"S", "B", "2"}, {"T", "K", "V"}},
       "[S]\rA=1\rB=2\r\n[T]\r\nK=V\r\n"},
      {"CrOnlyReplaceKeepsCr", "[S]\rA=1\rB=2", {{"S", "A", "x"}}, "[S]\rA=x\rB=2"},
      {"MixedUsesFirstLineEnd", "[S]\r\nA=1\nB=2\n", {{"S", "C", "3"}}, "[S]\r\nA=1\nB=2\nC=3\r\n"},
      {"ReplaceKeepsLineEndOfLine",
       "[S]\r\nA=1\nB=2\r\n",
       {{"S", "A", "x"}},
       "[S]\r\nA=x\nB=2\r\n"},
      {"OtherLinesByteForByte",
       "\xEF\xBB\xBF;x\r\n  [S]  ; c \r\n\tA = 1 \n\x01\xFF junk\r\r\nK=old\0tail\r\n\r\n"
       "[T]\r\n;\0\xFE\r\n"s,
       {{"S", "K", "new"}},
       "\xEF\xBB\xBF;x\r\n  [S]  ; c \r\n\tA = 1 \n\x01\xFF junk\r\r\nK=new\r\n\r\n"
       "[T]\r\n;\0\xFE\r\n"s},
      {"OtherLinesByteForByteOnInsert",
       " \v\r\n[S]\r\nA=1\0x\r\n;\t\r\n \r\n[T]\r\n"s,
       {{"S", "B", "2"}},
       " \v\r\n[S]\r\nA=1\0x\r\nB=2\r\n;\t\r\n \r\n[T]\r\n"s},
  };
  return cases;
}

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, Store) {
  const WriteCase& c = GetParam();
  std::string text = c.before.value_or("");
  for (const Write& w : c.writes)
    text = profile_text::Store(text, w.section, w.key, w.value);
  EXPECT_EQ(text, c.after);
}

TEST_P(ProfileWrite, WriteStringToFile) {
  const WriteCase& c = GetParam();
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  if (c.before)
    WriteBytes(file, *c.before);
  PortableProfileFile profile(test::Windows1252());
  for (const Write& w : c.writes)
    EXPECT_TRUE(profile.WriteString(w.section, w.key, w.value, file));
  EXPECT_EQ(ReadBytes(file), c.after);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

TEST_P(ProfileWrite, ReadsBackWhatWasWritten) {
  const WriteCase& c = GetParam();
  const Write& last = c.writes.back();
  if (last.key.find_first_of(";[=\r\n\t\v") != std::string::npos ||
      last.value.find_first_of("\r\n") != std::string::npos ||
      last.section.find_first_of("]\t\r\n") != std::string::npos)
    return; // names and values that Windows cannot read back either
  std::optional<std::string_view> value = profile_text::Lookup(c.after, last.section, last.key);
  ASSERT_TRUE(value.has_value());
  std::string expected(profile_text::CallerText(last.value));
  while (!expected.empty() && profile_text::IsBlank(expected.back()))
    expected.pop_back();
  while (!expected.empty() && profile_text::IsBlank(expected.front()))
    expected.erase(0, 1);
  if (expected.size() >= 2 && expected.front() == expected.back() &&
      (expected.front() == '"' || expected.front() == '\''))
    expected = expected.substr(1, expected.size() - 2);
  EXPECT_EQ(*value, expected);
}

INSTANTIATE_TEST_SUITE_P(Platform, ProfileWrite, ::testing::ValuesIn(WriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlatformProfileWrite, MissingDirectoryFailsAndCreatesNothing) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  EXPECT_FALSE(profile.WriteString("S", "K", "V", dir.Path("missing/settings.ini")));
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_FALSE(profile.WriteString("S", "K", "V", dir.Path("a/b/c/settings.ini")));
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(PlatformProfileWrite, ReadOnlyFileFails) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  const std::string file = dir.Path("settings.ini");
  const std::string before = "[S]\r\nK=1\r\n";
  WriteBytes(file, before);
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_FALSE(profile.WriteString("S", "K", "2", file));
  EXPECT_FALSE(profile.WriteString("S", "K", "1", file)); // also without a change
  EXPECT_FALSE(profile.WriteString("T", "K", "2", file));
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(test::ModeOf(file), 0444u);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

TEST(PlatformProfileWrite, UnwritableDirectoryFails) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root may write any directory (the injected failure tests cover it)";
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  const std::string sub = dir.Path("sub");
  std::filesystem::create_directory(sub);
  const std::string file = sub + "/settings.ini";
  WriteBytes(file, "[S]\r\nK=1\r\n");
  ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
  EXPECT_FALSE(profile.WriteString("S", "K", "2", file));
  EXPECT_FALSE(profile.WriteString("S", "K", "2", sub + "/new.ini"));
  ::chmod(sub.c_str(), 0755);
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=1\r\n");
}

TEST(PlatformProfileWrite, DirectoryAsFileFails) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  EXPECT_FALSE(profile.WriteString("S", "K", "V", dir.Path()));
  EXPECT_FALSE(profile.WriteString("S", "K", "V", ""));
}

TEST(PlatformProfileWrite, PermissionsKept) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  EXPECT_TRUE(profile.WriteString("S", "K", "2", file));
  EXPECT_EQ(test::ModeOf(file), 0640u);
  ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
  EXPECT_TRUE(profile.WriteString("S", "K", "3", file));
  EXPECT_EQ(test::ModeOf(file), 0604u);
}

TEST(PlatformProfileWrite, NewFileGetsUmaskMode) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  const mode_t old = ::umask(022);
  EXPECT_TRUE(profile.WriteString("S", "K", "V", dir.Path("a.ini")));
  ::umask(027);
  EXPECT_TRUE(profile.WriteString("S", "K", "V", dir.Path("b.ini")));
  ::umask(old);
  EXPECT_EQ(test::ModeOf(dir.Path("a.ini")), 0644u);
  EXPECT_EQ(test::ModeOf(dir.Path("b.ini")), 0640u);
}

TEST(PlatformProfileWrite, SymbolicLinkReplacesTheTarget) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  std::filesystem::create_directory(dir.Path("real"));
  WriteBytes(dir.Path("real/settings.ini"), "[S]\r\nK=1\r\n");
  std::filesystem::create_symlink("real/settings.ini", dir.Path("link.ini"));
  EXPECT_TRUE(profile.WriteString("S", "K", "2", dir.Path("link.ini")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.ini")));
  EXPECT_EQ(ReadBytes(dir.Path("real/settings.ini")), "[S]\r\nK=2\r\n");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"link.ini", "real"}));
  // A dangling link fails and creates nothing.
  std::filesystem::create_symlink("nowhere.ini", dir.Path("dangling.ini"));
  EXPECT_FALSE(profile.WriteString("S", "K", "2", dir.Path("dangling.ini")));
  EXPECT_FALSE(test::Exists(dir.Path("nowhere.ini")));
}

TEST(PlatformProfileWrite, BackslashesInThePathAreSeparators) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  EXPECT_TRUE(profile.WriteString("S", "K", "V", dir.Path() + "\\settings.ini"));
  EXPECT_EQ(ReadBytes(dir.Path("settings.ini")), "[S]\r\nK=V\r\n");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

TEST(PlatformProfileWrite, LongValueWrittenWhole) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  const std::string file = dir.Path("settings.ini");
  std::string value(70000, 'v');
  EXPECT_TRUE(profile.WriteString("S", "K", value, file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=" + value + "\r\n");
}

TEST(PlatformProfileWrite, UnchangedWriteLeavesFileAlone) {
  TempDir dir;
  PortableProfileFile profile(test::Windows1252());
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  struct stat before {};
  ::stat(file.c_str(), &before);
  EXPECT_TRUE(profile.WriteString("S", "K", "1", file));
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
}

// Random files and writes: never a crash, the written key reads back, and every
// other key reads as before.
TEST(PlatformProfileWrite, RandomFilesKeepOtherKeys) {
  std::mt19937 rng(20240611);
  const std::vector<std::string> pieces = {"[",
                                           "]",
                                           "=",
                                           ";",
                                           "\r",
                                           "\n",
                                           "\r\n",
                                           " ",
                                           "\t",
                                           "\v",
                                           "\"",
                                           "'",
                                           std::string(1, '\0'),
                                           "a",
                                           "b",
                                           "A",
                                           "B",
                                           "x",
                                           "#",
                                           "\xEF\xBB\xBF",
                                           "\xE4",
                                           "[a]",
                                           "[b]\r\n",
                                           "a=1\r\n",
                                           "b=\n"};
  const std::vector<std::string> names = {"", "a", "b", "A", "ab", "bA"};
  const std::vector<std::string> values = {"", "1", " x ", "'q'", "\"", "a b", "\xFC"};
  auto pick = [&](const auto& v) { return v[rng() % v.size()]; };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int length = static_cast<int>(rng() % 40);
    for (int i = 0; i < length; ++i)
      text += pick(pieces);
    const std::string section = pick(names), key = pick(names), value = pick(values);
    const std::string after = profile_text::Store(text, section, key, value);
    std::optional<std::string_view> back = profile_text::Lookup(after, section, key);
    ASSERT_TRUE(back.has_value()) << round;
    std::string expected = value;
    if (expected == " x ")
      expected = "x";
    else if (expected == "'q'")
      expected = "q";
    EXPECT_EQ(*back, expected) << round;
    for (const std::string& s : names) {
      for (const std::string& k : names) {
        if (EqualsIgnoringAsciiCase(s, section) && EqualsIgnoringAsciiCase(k, key))
          continue;
        EXPECT_EQ(profile_text::Lookup(text, s, k), profile_text::Lookup(after, s, k))
            << "round " << round << " [" << s << "] " << k;
      }
    }
  }
}

} // namespace
} // namespace vantelo
