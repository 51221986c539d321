// PortableProfileFile::WriteString when a step of the write fails: it returns
// false, the old file stays byte for byte and no temporary file is left.
#include "platform/portable_profile_file.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace vantelo {
namespace {

using test::Fault;
using test::FaultyFileSystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// The number of descriptors the process has open.
std::size_t OpenDescriptors() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++n;
  return n;
}

class ProfileWriteFailure : public ::testing::TestWithParam<Fault> {};

TEST_P(ProfileWriteFailure, OldFileStaysAndNoTempFileIsLeft) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  std::string before = "; settings\r\n[S]\r\nA=1\r\nK=old\r\n\r\n[T]\r\nX=\xE4\r\n";
  before += std::string(10000, 'p') + "=long line\r\n"; // enough for a short write to matter
  WriteBytes(file, before);
  auto fs = std::make_shared<FaultyFileSystem>(GetParam());
  PortableProfileFile profile(fs);
  const std::size_t descriptors = OpenDescriptors();

  EXPECT_FALSE(profile.WriteString("S", "K", "new", file));
  EXPECT_FALSE(profile.WriteString("S", "B", "new", file));
  EXPECT_FALSE(profile.WriteString("U", "K", "new", file));

  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
  EXPECT_FALSE(profile.Problem().empty());
  EXPECT_EQ(OpenDescriptors(), descriptors) << "every file must be closed";
}

TEST_P(ProfileWriteFailure, NewFileIsNotCreated) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  auto fs = std::make_shared<FaultyFileSystem>(GetParam());
  PortableProfileFile profile(fs);
  bool ok = profile.WriteString("S", "K", std::string(5000, 'v'), file);
  if (GetParam() == Fault::ReadOnlyFile || GetParam() == Fault::ReadFails) {
    // Only an existing file is read and has permissions.
    EXPECT_TRUE(ok);
    return;
  }
  EXPECT_FALSE(ok);
  EXPECT_TRUE(dir.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(Platform, ProfileWriteFailure,
                         ::testing::Values(Fault::ReadFails, Fault::ReadOnlyFile,
                                           Fault::ShortWriteThenNoSpace, Fault::NoSpace,
                                           Fault::ShortWriteThenNothing, Fault::WriteReturnsZero,
                                           Fault::FlushFails, Fault::CloseFails, Fault::RenameFails,
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
    ReadResult OpenLocked(const std::string&, int&) override { throw std::bad_alloc(); }
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

// The settings file is the old one, whole, and no temporary file is left:
// the new contents were in a file without a name.
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
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});

  PortableProfileFile profile;
  char buffer[255];
  EXPECT_EQ(profile.GetString("S", "K", "", buffer, file), 3u);
  EXPECT_STREQ(buffer, "old");
  EXPECT_TRUE(profile.WriteString("S", "K", "new", file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nA=1\r\nK=new\r\n");
}

// A temporary file that a write named just before its process died is
// removed by the next write; other files that look alike stay.
TEST(PlatformProfileWriteFailure, TheNextWriteRemovesStaleTemporaryFiles) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  const std::set<std::string> stale = {".settings.ini.vantelo-0123456789ab.tmp",
                                       ".settings.ini.vantelo-fedcba987654.tmp"};
  const std::set<std::string> others = {".settings.ini.vantelo-0123.tmp",
                                        ".other.ini.vantelo-0123456789ab.tmp", "notes.txt"};
  for (const auto& names : {stale, others})
    for (const std::string& name : names)
      WriteBytes(dir.Path(name), std::string(1000, 'x'));
  PortableProfileFile profile;
  EXPECT_TRUE(profile.WriteString("S", "K", "2", file));
  std::set<std::string> expected = others;
  expected.insert("settings.ini");
  EXPECT_EQ(dir.Entries(), expected);
}

// Where the file cannot be replaced, it is written in place, with care: the
// space set aside first and the old bytes put back when a write fails.
struct InPlaceCase {
  const char* name;
  std::set<Fault> faults;
  bool grows, shrinks; // whether a write that makes the file longer, shorter, succeeds
};

class ProfileWriteInPlace : public ::testing::TestWithParam<InPlaceCase> {};

TEST_P(ProfileWriteInPlace, KeepsTheFileAndItsInode) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  const std::string before = "[S]\r\nA=1\r\nK=old value\r\n[T]\r\nX=1\r\n";
  WriteBytes(file, before);
  struct stat old {};
  ::stat(file.c_str(), &old);
  PortableProfileFile profile(std::make_shared<FaultyFileSystem>(GetParam().faults));
  // One write that makes the file longer, one that makes it shorter.
  EXPECT_EQ(profile.WriteString("S", "K", "a much longer value", file), GetParam().grows)
      << profile.Problem();
  EXPECT_EQ(profile.WriteString("S", "K", "v", file), GetParam().shrinks) << profile.Problem();
  struct stat now {};
  ::stat(file.c_str(), &now);
  EXPECT_EQ(now.st_ino, old.st_ino);
  EXPECT_EQ(ReadBytes(file), GetParam().shrinks ? "[S]\r\nA=1\r\nK=v\r\n[T]\r\nX=1\r\n" : before);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

const InPlaceCase kInPlaceCases[] = {
    {"ReadOnlyDirectory", {Fault::UnwritableDirectory}, true, true},
    {"OwnerNotReproducible", {Fault::IdentityNotKept}, true, true},
    {"StickyDirectory", {Fault::RenameRefused}, true, true},
    {"NoRoomToReserve", {Fault::UnwritableDirectory, Fault::NoSpaceToReserve}, false, true},
    {"WriteFailsHalfWay", {Fault::UnwritableDirectory, Fault::InPlaceWriteFails}, false, false},
    {"FlushFails", {Fault::UnwritableDirectory, Fault::FlushFails}, false, false},
};

INSTANTIATE_TEST_SUITE_P(Platform, ProfileWriteInPlace, ::testing::ValuesIn(kInPlaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vantelo
