// What a write of the portable profile file keeps: the file's other names,
// owner, mode and extended attributes; every concurrent writer's change; and
// a UTF-16 file's encoding.
#include "profile/portable_profile_file.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace vantelo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::Utf16LeFile;
using test::WriteBytes;

TEST(PlatformProfileIdentity, AHardLinkedFileIsWrittenUnderAllItsNames) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini"), other = dir.Path("shared.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
  PortableProfileFile profile(test::Windows1252());
  EXPECT_TRUE(profile.WriteString("S", "K", "2", file));
  EXPECT_TRUE(profile.WriteString("S", "L", "3", other));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=2\r\nL=3\r\n");
  EXPECT_EQ(ReadBytes(other), ReadBytes(file));
  struct stat st {};
  ::stat(file.c_str(), &st);
  EXPECT_EQ(st.st_nlink, 2u);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"settings.ini", "shared.ini"}));
}

// A file with a single name is still replaced whole (never torn by a crash),
// and the replacement gets the old file's owner, mode and attributes.
TEST(PlatformProfileIdentity, OwnerModeAndAttributesAreKept) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  if (::setxattr(file.c_str(), "user.origin", "admin", 5, 0) != 0)
    GTEST_SKIP() << "the file system has no user attributes: " << std::strerror(errno);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
  }
  ASSERT_EQ(::chmod(file.c_str(), 0660), 0);
  struct stat before {};
  ::stat(file.c_str(), &before);

  PortableProfileFile profile(test::Windows1252());
  EXPECT_TRUE(profile.WriteString("S", "K", "2", file)) << profile.Problem();

  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_NE(after.st_ino, before.st_ino) << "replaced through a rename";
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(after.st_mode & 07777, 0660u);
  char value[16] = {};
  EXPECT_EQ(::getxattr(file.c_str(), "user.origin", value, sizeof value), 5);
  EXPECT_STREQ(value, "admin");
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=2\r\n");
}

// Several processes add their own keys to one file at the same time; the
// lock makes every read-modify-write whole, so no key is lost.
TEST(PlatformProfileLock, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 8, kRounds = 200;
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      PortableProfileFile profile(test::Windows1252());
      bool ok = true;
      for (int r = 0; r < kRounds; ++r)
        ok = profile.WriteString("S" + std::to_string(r % 3),
                                 "W" + std::to_string(w) + "R" + std::to_string(r), "1", file) &&
             ok;
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const ProfileDocument document(ReadBytes(file));
  int missing = 0;
  for (int w = 0; w < kWriters; ++w)
    for (int r = 0; r < kRounds; ++r)
      missing += !document.Lookup("S" + std::to_string(r % 3),
                                  "W" + std::to_string(w) + "R" + std::to_string(r));
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

struct Utf16Case {
  const char* name;
  std::string before;
  std::string section, key, value; // ANSI
  std::string after;               // "": the write fails and the file stays
};

class ProfileUtf16 : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(ProfileUtf16, WrittenBackInUtf16) {
  const Utf16Case& c = GetParam();
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, c.before);
  PortableProfileFile profile(test::Windows1252());
  EXPECT_EQ(profile.WriteString(c.section, c.key, c.value, file), !c.after.empty());
  EXPECT_EQ(ReadBytes(file), c.after.empty() ? c.before : c.after);
  if (!c.after.empty()) {
    char buffer[255];
    profile.GetString(c.section, c.key, "", buffer, file);
    EXPECT_EQ(std::string(buffer), c.value);
  }
}

const Utf16Case kUtf16Cases[] = {
    {"NewKey", Utf16LeFile(u"[S]\r\nA=1\r\n"), "S", "K", "True",
     Utf16LeFile(u"[S]\r\nA=1\r\nK=True\r\n")},
    {"NewSection", Utf16LeFile(u"[S]\r\nA=1"), "T", "K", "1",
     Utf16LeFile(u"[S]\r\nA=1\r\n[T]\r\nK=1\r\n")},
    {"AnsiLettersConverted", Utf16LeFile(u"[S]\r\nK=x\r\n"), "S", "K", "\xE4\x80",
     Utf16LeFile(u"[S]\r\nK=\u00E4\u20AC\r\n")},
    {"OtherCharactersKept", Utf16LeFile(u"[\u03A9]\r\nK=\u65E5\xD800\r\n[S]\r\nK=1\r\n"), "s", "k",
     "2", Utf16LeFile(u"[\u03A9]\r\nK=\u65E5\xD800\r\n[S]\r\nK=2\r\n")},
    {"OddLengthRefused", Utf16LeFile(u"[S]\r\nK=1\r\n") + "x", "S", "K", "2", ""},
};

INSTANTIATE_TEST_SUITE_P(Platform, ProfileUtf16, ::testing::ValuesIn(kUtf16Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlatformProfileUtf16, ReadsThroughTheAnsiCodePage) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file,
             Utf16LeFile(u"[Global Options]\r\nEnableTimeStamp=True\r\nName=\u00C4\u03A9\r\n"));
  PortableProfileFile profile(test::Windows1252());
  char buffer[255];
  EXPECT_EQ(profile.GetString("global options", "EnableTimeStamp", "", buffer, file), 4u);
  EXPECT_STREQ(buffer, "True");
  EXPECT_EQ(profile.GetString("Global Options", "Name", "", buffer, file), 2u);
  EXPECT_STREQ(buffer, "\xC4?");
}

} // namespace
} // namespace vantelo
