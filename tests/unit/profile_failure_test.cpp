// PortableProfileFile when a step of the file system fails, on POSIX and on
// Windows (this file also runs under Wine): the write returns false with a
// reason naming the file, the old file stays byte for byte, and no temporary
// file and no open handle is left. Where a replacement is not possible the
// file is written in place, keeping its identity.
#include "profile/portable_profile_file.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
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
  PortableProfileFile profile(test::Windows1252(), std::make_shared<FaultyFileSystem>(GetParam()));
  const std::size_t handles = test::OpenHandles();

  EXPECT_FALSE(profile.WriteString("S", "K", "new", file));
  EXPECT_NE(profile.Problem().find(file), std::string::npos) << profile.Problem();
  EXPECT_FALSE(profile.WriteString("S", "B", "new", file));
  EXPECT_FALSE(profile.WriteString("U", "K", "new", file));

  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
  EXPECT_EQ(test::OpenHandles(), handles) << "every file must be closed";
}

TEST_P(ProfileWriteFailure, NewFileIsNotCreated) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  PortableProfileFile profile(test::Windows1252(), std::make_shared<FaultyFileSystem>(GetParam()));
  EXPECT_FALSE(profile.WriteString("S", "K", std::string(5000, 'v'), file));
  EXPECT_TRUE(dir.Entries().empty()) << "the empty file the lock created is removed again";
}

INSTANTIATE_TEST_SUITE_P(Platform, ProfileWriteFailure,
                         ::testing::Values(Fault::ReadFails, Fault::ReadOnlyFile, Fault::OpenFails,
                                           Fault::ShortWriteThenNothing, Fault::WriteReturnsZero,
                                           Fault::FlushFails, Fault::WriteThrows),
                         [](const auto& info) { return std::string(Name(info.param)); });

// A short write that then goes on is no failure: the rest is written.
class ShortWritesFileSystem : public FaultyFileSystem {
public:
  int writes = 0;
  std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) override {
    ++writes;
    return FaultyFileSystem::WriteAt(file, offset, data.substr(0, 7));
  }
};

TEST(PlatformProfileWriteFailure, ShortWritesAreContinued) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  auto fs = std::make_shared<ShortWritesFileSystem>();
  PortableProfileFile profile(test::Windows1252(), fs);
  EXPECT_TRUE(profile.WriteString("S", "K", "a longer value", file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=a longer value\r\n");
  EXPECT_GT(fs->writes, 3);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

TEST(PlatformProfileWriteFailure, NothingThrows) {
  // A file system that throws from every step: the profile file must not.
  class ThrowingFileSystem : public FaultyFileSystem {
  public:
    std::unique_ptr<File> Open(const Path&, LockMode) override { throw std::bad_alloc(); }
    std::unique_ptr<File> CreateNew(const Path&) override { throw std::bad_alloc(); }
  };
  TempDir dir;
  PortableProfileFile profile(test::Windows1252(), std::make_shared<ThrowingFileSystem>());
  char buffer[16];
  EXPECT_EQ(profile.GetString("S", "K", "d", buffer, dir.Path("x.ini")), 1u);
  EXPECT_STREQ(buffer, "d");
  EXPECT_FALSE(profile.WriteString("S", "K", "v", dir.Path("x.ini")));
}

#if GTEST_HAS_DEATH_TEST
// A process that dies in the middle of a write, once half of the new
// contents reached the temporary file.
class DyingFileSystem : public FaultyFileSystem {
public:
  std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) override {
    FaultyFileSystem::WriteAt(file, offset, data.substr(0, data.size() / 2));
    std::_Exit(7);
  }
};

// The settings file is the old one, whole; a temporary file left behind
// (where the system gives it a name from the start) goes with the next
// write.
TEST(PlatformProfileWriteFailureDeathTest, ACrashInTheMiddleOfAWriteLeavesTheOldFile) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  const std::string before = "[S]\r\nA=1\r\nK=old\r\n";
  WriteBytes(file, before);
  EXPECT_EXIT(
      {
        PortableProfileFile dying(test::Windows1252(), std::make_shared<DyingFileSystem>());
        dying.WriteString("S", "K", std::string(4000, 'n'), file);
      },
      ::testing::ExitedWithCode(7), "");
  EXPECT_EQ(ReadBytes(file), before);

  PortableProfileFile profile(test::Windows1252());
  char buffer[255];
  EXPECT_EQ(profile.GetString("S", "K", "", buffer, file), 3u);
  EXPECT_STREQ(buffer, "old");
  EXPECT_TRUE(profile.WriteString("S", "K", "new", file));
  EXPECT_EQ(ReadBytes(file), "[S]\r\nA=1\r\nK=new\r\n");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}
#endif

// Temporary files that writes named just before their process died are
// removed by the next write; other files, also ones that look alike, stay.
TEST(PlatformProfileWriteFailure, TheNextWriteRemovesOnlyItsOwnStaleTemporaryFiles) {
  TempDir dir;
  const std::string file = dir.Path("s.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  const std::set<std::string> stale = {".s.ini.vantelo-0123456789ab.tmp",
                                       ".s.ini.vantelo-fedcba987654.tmp"};
  const std::set<std::string> others = {"s.ini.vantelo-backup.tmp",
                                        "s.ini.vantelo-my notes.tmp",
                                        ".s.ini.vantelo-0123.tmp",
                                        ".s.ini.vantelo~0123456789ab.tmp",
                                        ".s.ini.vantelo-0123456789ab.tmp.txt",
                                        ".x.s.ini.vantelo-0123456789ab.tmp",
                                        ".other.ini.vantelo-0123456789ab.tmp",
                                        "notes.txt"};
  for (const auto& names : {stale, others})
    for (const std::string& name : names)
      WriteBytes(dir.Path(name), std::string(1000, 'x'));
  PortableProfileFile profile(test::Windows1252());
  EXPECT_TRUE(profile.WriteString("S", "K", "2", file));
  std::set<std::string> expected = others;
  expected.insert("s.ini");
  EXPECT_EQ(dir.Entries(), expected);
}

// Where the file cannot be replaced, it is written in place, with care: the
// space set aside first and the old bytes put back when a write fails. No
// room for the temporary file is such a case too: the write in place needs
// room only for what the file gains, so a change that fits is made.
struct InPlaceCase {
  const char* name;
  std::set<Fault> faults;
  bool grows, shrinks; // whether a write that makes the file longer, shorter, succeeds
};

class ProfileWriteInPlace : public ::testing::TestWithParam<InPlaceCase> {};

TEST_P(ProfileWriteInPlace, KeepsTheFileAndItsIdentity) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini");
  const std::string before = "[S]\r\nA=1\r\nK=old value\r\n[T]\r\nX=1\r\n";
  WriteBytes(file, before);
  const std::uint64_t id = test::FileIdOf(file);
  PortableProfileFile profile(test::Windows1252(),
                              std::make_shared<FaultyFileSystem>(GetParam().faults));
  // One write that makes the file longer, one that makes it shorter.
  EXPECT_EQ(profile.WriteString("S", "K", "a much longer value", file), GetParam().grows)
      << profile.Problem();
  EXPECT_EQ(profile.WriteString("S", "K", "v", file), GetParam().shrinks) << profile.Problem();
  EXPECT_EQ(test::FileIdOf(file), id);
  EXPECT_EQ(ReadBytes(file), GetParam().shrinks ? "[S]\r\nA=1\r\nK=v\r\n[T]\r\nX=1\r\n" : before);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

const InPlaceCase kInPlaceCases[] = {
    {"ReadOnlyDirectory", {Fault::UnwritableDirectory}, true, true},
    {"IdentityNotReproducible", {Fault::IdentityNotKept}, true, true},
    {"ReplacementRefused", {Fault::RenameRefused}, true, true},
    {"ReplacementAcrossFileSystems", {Fault::RenameFails}, true, true},
    {"ReplacementOfAMountPoint", {Fault::RenameBusy}, true, true},
    {"NoSpaceForTheTemporaryFile", {Fault::NoSpace}, true, true},
    {"NoSpaceHalfWayThroughTheTemporaryFile", {Fault::ShortWriteThenNoSpace}, true, true},
    {"NoSpaceReportedOnClose", {Fault::CloseFails}, true, true},
    {"NoSpaceAtAll", {Fault::NoSpace, Fault::NoSpaceToReserve}, false, true},
    {"NoRoomToReserve", {Fault::UnwritableDirectory, Fault::NoSpaceToReserve}, false, true},
    {"WriteFailsHalfWay", {Fault::UnwritableDirectory, Fault::InPlaceWriteFails}, false, false},
    {"FlushFails", {Fault::UnwritableDirectory, Fault::FlushFails}, false, false},
};

INSTANTIATE_TEST_SUITE_P(Platform, ProfileWriteInPlace, ::testing::ValuesIn(kInPlaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program puts a file of its own in the settings file's place while
// a write is under way: the write fails rather than replace that file.
TEST(PlatformProfileWriteFailure, AFileAnotherProgramPutInPlaceIsNotReplaced) {
  TempDir dir;
  const std::string file = dir.Path("settings.ini"), theirs = "[S]\r\nK=theirs\r\n";
  WriteBytes(file, "[S]\r\nK=1\r\n");
  auto fs = std::make_shared<FaultyFileSystem>();
  fs->beforeStep = [&](std::string_view step) {
    if (step == "Replace") {
      WriteBytes(dir.Path("theirs.ini"), theirs);
      test::ReplaceWith(dir.Path("theirs.ini"), file);
    }
  };
  PortableProfileFile profile(test::Windows1252(), fs);
  EXPECT_FALSE(profile.WriteString("S", "K", "ours", file));
  EXPECT_NE(profile.Problem().find(file), std::string::npos) << profile.Problem();
  EXPECT_EQ(ReadBytes(file), theirs);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"settings.ini"});
}

// Temporary names fit the 255 characters a name may have, whatever the
// file's own length; the clean-up recognises only whole ones.
TEST(PlatformProfileTemporaryNames, FitTheLimitAndAreRecognisedOnlyWhole) {
  const struct {
    std::string name; // UTF-8
    bool whole;       // the file's whole name is in the temporary name
  } cases[] = {
      {"s.ini", true},
      {std::string(229, 'n'), true},
      {std::string(230, 'n'), false},
      {std::string(240, 'n') + ".ini", false},
      {"\xC3\xA4" + std::string(250, 'n'), false}, // an a-umlaut first, never split
  };
  for (const auto& c : cases) {
    const ProfileFileSystem::Path target = PathFromUtf8("/folder/" + c.name);
    const ProfileFileSystem::Path temp = TemporaryFileName(target);
    SCOPED_TRACE(c.name.size());
    EXPECT_EQ(temp.parent_path(), target.parent_path());
    EXPECT_LE(temp.filename().native().size(), 255u);
    EXPECT_EQ(IsTemporaryFileNameOf(target, temp.filename()), c.whole);
    EXPECT_NE(TemporaryFileName(target), temp) << "random names";
    const std::string text = Utf8FromPath(temp.filename());
    EXPECT_TRUE(text.starts_with("." + c.name.substr(0, 3))) << text;
  }
}

} // namespace
} // namespace vantelo
