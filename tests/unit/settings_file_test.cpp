// GetFromINI and AddToINI on real files through the portable profile file.
#include "support/addin_harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace vantelo::test {
namespace {

class SettingsFile : public ::testing::Test {
protected:
  std::string Get(std::string section, std::string key, std::string defaultText) {
    std::string file = h.SettingsPath();
    return h.addin->GetFromINI(section, key, defaultText, file);
  }
  bool Add(std::string section, std::string key, std::string value, std::string file) {
    return h.addin->AddToINI(section, key, value, file);
  }
  AddinHarness h;
};

TEST_F(SettingsFile, StoredValuesAreReturnedAsTheProfileReaderGivesThem) {
  h.WriteSettings("[Mass And Volume Options]\r\n"
                  "massunittodisplay=  \" kg \"  \r\n"
                  "Quoted=' '\r\n"
                  "Plain =  lb  \r\n"
                  "Long=" +
                  std::string(300, 'x') + "\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::string expected;
  } cases[] = {
      {"MASS AND VOLUME OPTIONS", "MassUnitToDisplay", " kg "}, // case-insensitive, quotes off
      {"Mass And Volume Options", "Quoted", " "},
      {"Mass And Volume Options", "plain", "lb"},
      {"Mass And Volume Options", "Long", std::string(254, 'x')}, // cut at the buffer
  };
  for (const auto& c : cases)
    EXPECT_EQ(Get(c.section, c.key, "default"), c.expected) << c.key;
}

TEST_F(SettingsFile, AMissingOrBlankValueGivesTheDefaultAndWritesItBack) {
  h.WriteSettings("[S]\r\nEmpty=\r\nBlanks=   \r\n");
  EXPECT_EQ(Get("S", "Empty", "5"), "5");
  EXPECT_EQ(Get("S", "Blanks", "6"), "6");
  EXPECT_EQ(Get("S", "Missing", "7"), "7");
  EXPECT_EQ(h.ReadSettings(), "[S]\r\nEmpty=5\r\nBlanks=6\r\nMissing=7\r\n");
}

TEST_F(SettingsFile, AnEmptyDefaultLeavesAMissingFileAlone) {
  EXPECT_EQ(Get("S", "K", ""), "");
  EXPECT_FALSE(h.SettingsExist());
  EXPECT_EQ(Get("S", "K", "v"), "v");
  EXPECT_EQ(h.ReadSettings(), "[S]\r\nK=v\r\n");
}

TEST_F(SettingsFile, TextPassesThroughTheAnsiCodePage) {
  std::string section = "Sektion", key = "Maß", value = "5 € ✓", file = h.SettingsPath();
  EXPECT_TRUE(h.addin->AddToINI(section, key, value, file));
  EXPECT_EQ(value, "5 € ?"); // the by-reference argument comes back converted
  EXPECT_EQ(h.ReadSettings(), "[Sektion]\r\nMa\xDF=5 \x80 ?\r\n");
  EXPECT_EQ(Get("Sektion", "Maß", ""), "5 € ?");
}

// A line break would end the file's line and turn the rest into a key or a
// section of its own; such a text is refused and the file stays as it was.
TEST_F(SettingsFile, ALineBreakInASectionKeyOrValueIsRefused) {
  const std::string before = "[S]\r\nK=stored\r\n";
  h.WriteSettings(before);
  const auto expectRefused = [&](const std::string& section, const std::string& key,
                                 const std::string& text) {
    const std::string where = section + "/" + key + "/" + text;
    EXPECT_FALSE(Add(section, key, text, h.SettingsPath())) << where;
    // The text as a default: returned, never written back.
    EXPECT_EQ(Get(section, key, text), text) << where;
    EXPECT_EQ(h.ReadSettings(), before) << where;
  };
  for (const char* value :
       {"x\r\n[Global Options]\r\nEnableMassVolume=True", "line1\nline2", "line1\rline2"})
    expectRefused("S", "New", value);
  expectRefused("S", "K\r\nX", "v");
  expectRefused("New\rSection", "K", "v");
}

TEST_F(SettingsFile, AnUnwritableDirectoryGivesFalseWithoutAnError) {
  EXPECT_FALSE(Add("S", "K", "v", h.dir.Path("no/such/dir/Vantelo.ini")));
  EXPECT_FALSE(Exists(h.dir.Path("no")));

  if (::geteuid() == 0)
    GTEST_SKIP() << "root writes into read-only directories";
  const std::string locked = h.dir.Path("locked");
  std::filesystem::create_directory(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
  EXPECT_FALSE(Add("S", "K", "v", locked + "/Vantelo.ini"));
}

} // namespace
} // namespace vantelo::test
