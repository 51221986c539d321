// PortableProfileFile::WriteString when a step of the write fails: it returns
// false, the old file stays byte for byte and no temporary file is left.
#include "platform/portable_profile_file.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace vantelo {
namespace {

using test::Fault;
using test::FaultyFileSystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class ProfileWriteFailure : public ::testing::TestWithParam<Fault> {};

TEST_P(ProfileWriteFailure, OldFileStaysAndNoTempFileIsLeft) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  std::string before = "; settings\r\n[S]\r\nA=1\r\nK=old\r\n\r\n[T]\r\nX=\xE4\r\n";
  before += std::string(10000, 'p') + "=long line\r\n"; // enough for a short write to matter
  WriteBytes(file, before);
  auto fs = std::make_shared<FaultyFileSystem>(GetParam());
  PortableProfileFile profile(fs);

  EXPECT_FALSE(profile.WriteString("S", "K", "new", file));
  EXPECT_FALSE(profile.WriteString("S", "B", "new", file));
  EXPECT_FALSE(profile.WriteString("U", "K", "new", file));

  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
  if (!fs->tempPath.empty()) {
    EXPECT_FALSE(test::Exists(fs->tempPath));
    EXPECT_EQ(fs->closes, 3) << "the temporary file must be closed";
  }
}

TEST_P(ProfileWriteFailure, NewFileIsNotCreated) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  auto fs = std::make_shared<FaultyFileSystem>(GetParam());
  PortableProfileFile profile(fs);
  bool ok = profile.WriteString("S", "K", std::string(5000, 'v'), file);
  if (GetParam() == Fault::ReadOnlyFile) {
    // MayReplace is only asked about an existing file.
    EXPECT_TRUE(ok);
    return;
  }
  EXPECT_FALSE(ok);
  EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Platform, ProfileWriteFailure,
                         ::testing::Values(Fault::ReadFails, Fault::ReadOnlyFile,
                                           Fault::UnwritableDirectory, Fault::ShortWriteThenNoSpace,
                                           Fault::NoSpace, Fault::ShortWriteThenNothing,
                                           Fault::WriteReturnsZero, Fault::FlushFails,
                                           Fault::CloseFails, Fault::RenameFails,
                                           Fault::ResolveFails, Fault::WriteThrows),
                         [](const auto& info) { return std::string(Name(info.param)); });

// A short write that then goes on is no failure: the rest is written.
class ShortWritesFileSystem : public PosixProfileFileSystem {
public:
  int writes = 0;
  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override {
    ++writes;
    return PosixProfileFileSystem::Write(handle, data, size > 7 ? 7 : size);
  }
};

TEST(PlatformProfileWriteFailure, ShortWritesAreContinued) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  auto fs = std::make_shared<ShortWritesFileSystem>();
  PortableProfileFile profile(fs);
  EXPECT_TRUE(profile.WriteString("S", "K", "a longer value", file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=a longer value\r\n");
  EXPECT_GT(fs->writes, 3);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

TEST(PlatformProfileWriteFailure, NothingThrows) {
  // A file system that throws from every step: the profile file must not.
  class ThrowingFileSystem : public PosixProfileFileSystem {
  public:
    ReadResult ReadWholeFile(const std::string&, std::string&) override { throw std::bad_alloc(); }
  };
  PortableProfileFile profile(std::make_shared<ThrowingFileSystem>());
  char buffer[16];
  EXPECT_EQ(profile.GetString("S", "K", "d", buffer, "/x"), 1u);
  EXPECT_STREQ(buffer, "d");
  EXPECT_FALSE(profile.WriteString("S", "K", "v", "/x"));
}

// A process that dies in the middle of a write, once half of the new
// contents reached the temporary file.
class DyingFileSystem : public PosixProfileFileSystem {
public:
  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override {
    PosixProfileFileSystem::Write(handle, data, size / 2);
    std::_Exit(7);
  }
};

// The settings file is the old one, whole; only the dead write's temporary
// file stays behind, which reads never look at and later writes do not trip
// over.
TEST(PlatformProfileWriteFailureDeathTest, ACrashInTheMiddleOfAWriteLeavesTheOldFile) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  const std::string before = "[S]\r\nA=1\r\nK=old\r\n";
  WriteBytes(file, before);
  EXPECT_EXIT(
      {
        PortableProfileFile dying(std::make_shared<DyingFileSystem>());
        dying.WriteString("S", "K", std::string(4000, 'n'), file);
      },
      ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(dir.Entries().size(), 2u);

  PortableProfileFile profile;
  char buffer[255];
  EXPECT_EQ(profile.GetString("S", "K", "", buffer, file), 3u);
  EXPECT_STREQ(buffer, "old");
  EXPECT_TRUE(profile.WriteString("S", "K", "new", file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nA=1\r\nK=new\r\n");
}

} // namespace
} // namespace vantelo
