// Clocks, module paths, the message pump and dialog, the platform factory.
#include "platform/clocks.h"
#include "platform/message_dialogs.h"
#include "platform/module_path.h"
#include "platform/portable_platform.h"
#include "platform/regional_settings.h"
#include "profile/portable_profile_file.h"
#include "profile/windows1252_code_page.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <tuple>

namespace vantelo {
namespace {

// The fields of a time, to compare and print.
std::tuple<int, int, int, int, int, int> Fields(const LocalDateTime& t) {
  return {t.year, t.month, t.day, t.hour, t.minute, t.second};
}

TEST(PlatformClock, FixedClock) {
  FixedClock clock;
  EXPECT_EQ(Fields(clock.Now()), Fields(LocalDateTime{})); // 1899-12-30 00:00:00
  const LocalDateTime t{2024, 2, 29, 23, 59, 59};
  clock.Set(t);
  EXPECT_EQ(Fields(clock.Now()), Fields(t));
  EXPECT_EQ(Fields(clock.Now()), Fields(t));
  FixedClock given(t);
  EXPECT_EQ(Fields(given.Now()), Fields(t));
  EXPECT_EQ(clock.Calls(), 3u);
}

TEST(PlatformClock, FixedClockSequenceLetsMidnightPass) {
  FixedClock clock(LocalDateTime{2024, 1, 1, 12, 0, 0});
  const LocalDateTime before{2024, 12, 31, 23, 59, 59};
  const LocalDateTime after{2025, 1, 1, 0, 0, 0};
  clock.SetSequence({before, after});
  EXPECT_EQ(Fields(clock.Now()), Fields(before));
  EXPECT_EQ(Fields(clock.Now()), Fields(after));
  EXPECT_EQ(Fields(clock.Now()), Fields(after)); // the last one stays
  clock.Set(before);
  EXPECT_EQ(Fields(clock.Now()), Fields(before));
}

TEST(PlatformClock, SystemClockIsLocalTime) {
  SystemClock clock;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    LocalDateTime t = clock.Now();
    if (t.second != tm.tm_sec)
      continue; // the second turned meanwhile
    EXPECT_EQ(t.year, tm.tm_year + 1900);
    EXPECT_EQ(t.month, tm.tm_mon + 1);
    EXPECT_EQ(t.day, tm.tm_mday);
    EXPECT_EQ(t.hour, tm.tm_hour);
    EXPECT_EQ(t.minute, tm.tm_min);
    return;
  }
  FAIL() << "the clock kept changing its second";
}

TEST(PlatformModulePath, Split) {
  struct Case {
    const char *path, *directory, *baseName;
  };
  const Case cases[] = {
      {"/usr/bin/vantelo", "/usr/bin", "vantelo"},
      {"/opt/v/vantelo.bin", "/opt/v", "vantelo"},
      {"/opt/v/vantelo.tar.gz", "/opt/v", "vantelo.tar"},
      {"/opt/v.d/vantelo", "/opt/v.d", "vantelo"},
      {"/opt/.hidden", "/opt", ".hidden"},
      {"/vantelo", "", "vantelo"},
      {"vantelo.exe", "", "vantelo"},
  };
  for (const Case& c : cases) {
    std::string directory, baseName;
    ExecutableModulePath::Split(c.path, directory, baseName);
    EXPECT_EQ(directory, c.directory) << c.path;
    EXPECT_EQ(baseName, c.baseName) << c.path;
  }
}

TEST(PlatformModulePath, Executable) {
  ExecutableModulePath path;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(path.Directory(), exe.parent_path().string());
  EXPECT_EQ(path.BaseName(), exe.stem().string());
  EXPECT_FALSE(path.Directory().empty());
  EXPECT_NE(path.Directory().back(), '/');
}

TEST(PlatformDialogs, RecordingMessageDialog) {
  RecordingMessageDialog dialog;
  EXPECT_EQ(dialog.Show("first", 16, ""), 1);
  EXPECT_EQ(dialog.Show("second", 0, "Title"), 1);
  const std::vector<MessageRecord> expected = {{"first", 16, ""}, {"second", 0, "Title"}};
  EXPECT_EQ(dialog.Records(), expected);
  dialog.Clear();
  EXPECT_TRUE(dialog.Records().empty());
  RecordingMessageDialog cancel(2);
  EXPECT_EQ(cancel.Show("x", 1, "t"), 2);
  EXPECT_EQ(cancel.Records().size(), 1u);
}

TEST(PlatformFactory, Defaults) {
  PlatformServices services = PortablePlatform();
  ASSERT_TRUE(services.profile);
  ASSERT_TRUE(services.codePage);
  ASSERT_TRUE(services.regional);
  ASSERT_TRUE(services.clock);
  ASSERT_TRUE(services.modulePath);
  ASSERT_TRUE(services.messagePump);
  ASSERT_TRUE(services.messageBox);
  EXPECT_NE(dynamic_cast<PortableProfileFile*>(services.profile.get()), nullptr);
  EXPECT_NE(dynamic_cast<Windows1252CodePage*>(services.codePage.get()), nullptr);
  EXPECT_NE(dynamic_cast<LocaleRegionalSettings*>(services.regional.get()), nullptr);
  EXPECT_NE(dynamic_cast<SystemClock*>(services.clock.get()), nullptr);
  EXPECT_NE(dynamic_cast<ExecutableModulePath*>(services.modulePath.get()), nullptr);
  EXPECT_NE(dynamic_cast<NullMessagePump*>(services.messagePump.get()), nullptr);
  EXPECT_NE(dynamic_cast<RecordingMessageDialog*>(services.messageBox.get()), nullptr);
  EXPECT_EQ(services.messageBox->Show("x", 16, ""), 1);
}

TEST(PlatformFactory, Injected) {
  auto clock = std::make_shared<FixedClock>(LocalDateTime{2024, 5, 6, 7, 8, 9});
  auto regional = std::make_shared<FixedRegionalSettings>(",", ".");
  auto modulePath = std::make_shared<FixedModulePath>("/tmp/x", "Vantelo");
  auto dialog = std::make_shared<RecordingMessageDialog>();
  PortablePlatformOptions options;
  options.clock = clock;
  options.regional = regional;
  options.modulePath = modulePath;
  options.messageBox = dialog;
  PlatformServices services = PortablePlatform(options);
  EXPECT_EQ(services.clock, clock);
  EXPECT_EQ(services.regional, regional);
  EXPECT_EQ(services.modulePath, modulePath);
  EXPECT_EQ(services.messageBox, dialog);
  EXPECT_TRUE(services.profile && services.codePage && services.messagePump);
  EXPECT_EQ(services.regional->DecimalSeparator(), ",");
  EXPECT_EQ(services.modulePath->BaseName(), "Vantelo");
}

} // namespace
} // namespace vantelo
