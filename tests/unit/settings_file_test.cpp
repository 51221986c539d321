// GetFromINI and AddToINI on real files through the portable profile file.
#include "support/addin_harness.h"

#include "platform/module_path.h"
#include "platform/portable_platform.h"
#include "platform/utf8_path.h"
#include "profile/windows1252_code_page.h"

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

// A file path the ANSI code page cannot hold would reach the profile
// functions with '?' in its place, naming another file or none: refused
// with an error, and nothing is written anywhere.
TEST_F(SettingsFile, APathOutsideTheAnsiCodePageIsRefused) {
  std::filesystem::create_directory(PathFromUtf8(h.dir.Path("??")));
  const std::string file = h.dir.Path("\u65E5\u672C/Vantelo.ini");
  std::string section = "S", key = "K", value = "v", path = file;
  try {
    h.addin->AddToINI(section, key, value, path);
    ADD_FAILURE() << "AddToINI accepted the path";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Code(), hresult::NoUnicodeTranslation);
    EXPECT_NE(std::string(failure.what()).find(file), std::string::npos) << failure.what();
  }
  EXPECT_THROW(h.addin->GetFromINI(section, key, value, path), Failure);
  EXPECT_EQ(path, file);
  EXPECT_EQ(h.dir.Entries(), std::set<std::string>{"??"});
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(h.dir.Path("??"))));
}

// A code page that fails part-way (out of memory) ends the call with the
// failure: the by-reference texts stay as they were, and nothing ends the
// host's process.
TEST(SettingsFileArguments, AFailedConversionLeavesTheArgumentsAsTheyWere) {
  class FailingCodePage : public Windows1252CodePage {
  public:
    int left = 0;
    std::string ToUtf8(const std::string& bytes) override {
      if (left-- == 0)
        throw std::bad_alloc();
      return Windows1252CodePage::ToUtf8(bytes);
    }
  };
  for (int failAt = 0; failAt < 6; ++failAt) {
    TempDir dir;
    auto codePage = std::make_shared<FailingCodePage>();
    PortablePlatformOptions options;
    options.codePage = codePage;
    options.modulePath = std::make_shared<FixedModulePath>(dir.Path(), "Vantelo");
    clsVantelo addin(PortablePlatform(options));
    std::string section = "S\xC3\xA4", key = "K", value = "v", file = dir.Path("Vantelo.ini");
    codePage->left = failAt;
    try {
      addin.GetFromINI(section, key, value, file);
    } catch (const std::bad_alloc&) {
    }
    codePage->left = failAt;
    try {
      addin.AddToINI(section, key, value, file);
    } catch (const std::bad_alloc&) {
    }
    EXPECT_EQ(section, "S\xC3\xA4") << failAt;
    EXPECT_EQ(value, "v") << failAt;
  }
}

// Another program keeps the settings file's lock: a save waits for it once,
// a bounded time, then loads the settings from the file unlocked and goes
// on; every write-back fails, and the file keeps every byte.
TEST(SettingsFileLock, ASaveWaitsABoundedTimeOnceAndGoesOn) {
  using namespace std::chrono_literals;
  constexpr auto kWait = 300ms;
  AddinHarness h({.settingsLockWait = kWait});
  const std::string before = "[Global Options]\r\nEnableTimeStamp=True\r\n";
  h.WriteSettings(before);
  ProfileLocks otherProgram(MakeNativeProfileFileSystem());
  const auto held = otherProgram.Acquire(PathFromUtf8(h.SettingsPath()), LockMode::Exclusive);
  auto& part = h.host.AddDocument({.name = "P.ipt", .type = document_type::Part});

  const auto start = std::chrono::steady_clock::now();
  const sim::SaveOutcome outcome = h.Save(part);
  const auto waited = std::chrono::steady_clock::now() - start;

  EXPECT_TRUE(outcome.succeeded) << outcome.message;
  EXPECT_NE(UserProperty(part, "SaveTime"), "<missing>") << "the file was read";
  EXPECT_EQ(h.ReadSettings(), before);
  EXPECT_GE(waited, kWait);
  EXPECT_LT(waited, 10 * kWait) << "the load's calls use its hold, not a wait each";
}

} // namespace
} // namespace vantelo::test
