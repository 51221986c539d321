// The settings file's lock (profile/profile_lock.h), on POSIX and on
// Windows (this file also runs under Wine). Two ProfileLocks objects stand
// for two programs: their locks conflict like those of two processes, since
// both systems' locks belong to an open file, not to a process.
#include "profile/portable_profile_file.h"
#include "profile/profile_lock.h"
#include "support/concurrently.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantelo {
namespace {

using namespace std::chrono_literals;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

ProfileLocks Program(std::chrono::milliseconds wait = 0ms) {
  return ProfileLocks(MakeNativeProfileFileSystem(), wait);
}

// A hold taken within another of the same object is that one, until the
// outermost ends; writing within a hold for reading is refused rather than
// waited for.
TEST(PlatformProfileLock, NestedHoldsShareTheOuterOne) {
  const struct {
    LockMode outer, inner;
    bool innerGranted;
    bool otherReaderGranted; // another program's reader meanwhile
  } cases[] = {
      {LockMode::Exclusive, LockMode::Exclusive, true, false},
      {LockMode::Exclusive, LockMode::Shared, true, false},
      {LockMode::Shared, LockMode::Shared, true, true},
      {LockMode::Shared, LockMode::Exclusive, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.outer) << " " << int(c.inner));
    TempDir dir;
    const auto file = PathFromUtf8(dir.Path("s.ini"));
    WriteBytes(dir.Path("s.ini"), "[S]\r\nK=1\r\n");
    auto own = Program(), other = Program();
    auto outer = own.Acquire(file, c.outer);
    ASSERT_TRUE(outer->Granted());
    auto inner = own.Acquire(file, c.inner);
    EXPECT_EQ(inner->Granted(), c.innerGranted) << inner->Problem();
    EXPECT_EQ(inner->File(), outer->File());
    EXPECT_EQ(other.Acquire(file, LockMode::Shared)->Granted(), c.otherReaderGranted);
    EXPECT_FALSE(other.Acquire(file, LockMode::Exclusive)->Granted());
    inner.reset(); // an inner hold ends: the lock stays
    EXPECT_FALSE(other.Acquire(file, LockMode::Exclusive)->Granted());
    outer.reset(); // the outermost one ends: released
    EXPECT_TRUE(other.Acquire(file, LockMode::Exclusive)->Granted());
  }
}

// A program that keeps the lock costs a caller the bounded wait, then a
// write fails without touching the file and a read goes on unlocked.
TEST(PlatformProfileLock, AHolderBeyondTheWaitFailsWritesAndLeavesReads) {
  TempDir dir;
  const std::string file = dir.Path("s.ini");
  WriteBytes(file, "[S]\r\nK=1\r\n");
  auto holder = Program();
  auto held = holder.Acquire(PathFromUtf8(file), LockMode::Exclusive);
  PortableProfileFile waiting(test::Windows1252(), MakeNativeProfileFileSystem(), 200ms);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(waiting.WriteString("S", "K", "2", file));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_NE(waiting.Problem().find("another program holds its lock"), std::string::npos)
      << waiting.Problem();
  EXPECT_NE(waiting.Problem().find(file), std::string::npos) << waiting.Problem();
  char buffer[16];
  EXPECT_EQ(waiting.GetString("S", "K", "", buffer, file), 1u);
  EXPECT_STREQ(buffer, "1");
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=1\r\n");

  held.reset();
  EXPECT_TRUE(waiting.WriteString("S", "K", "2", file)) << waiting.Problem();
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=2\r\n");
}

// A missing file has nothing to lock: a writer creates it empty (which
// reads as missing) and removes it again if it wrote nothing; a reader
// creates nothing.
TEST(PlatformProfileLock, AWriterOfAMissingFileLocksANewEmptyOne) {
  TempDir dir;
  const std::string file = dir.Path("s.ini");
  auto own = Program(), other = Program();
  own.Acquire(PathFromUtf8(file), LockMode::Shared).reset();
  EXPECT_FALSE(test::Exists(file));
  {
    const auto writer = own.Acquire(PathFromUtf8(file), LockMode::Exclusive);
    EXPECT_TRUE(writer->CreatedFile());
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_FALSE(other.Acquire(PathFromUtf8(file), LockMode::Shared)->Granted());
    EXPECT_FALSE(other.Acquire(PathFromUtf8(file), LockMode::Exclusive)->Granted());
  }
  EXPECT_FALSE(test::Exists(file)) << "nothing was written: removed again";

  // A writer that wrote keeps the file, and its hold moves to each file its
  // writes put in place.
  PortableProfileFile profile(test::Windows1252());
  {
    const auto hold = profile.Lock(file, LockMode::Exclusive);
    EXPECT_TRUE(profile.WriteString("S", "K", "1", file));
    EXPECT_FALSE(other.Acquire(PathFromUtf8(file), LockMode::Shared)->Granted());
    EXPECT_TRUE(profile.WriteString("S", "L", "2", file)) << profile.Problem();
    EXPECT_FALSE(other.Acquire(PathFromUtf8(file), LockMode::Shared)->Granted());
  }
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=1\r\nL=2\r\n");
  EXPECT_FALSE(other.Acquire(PathFromUtf8(file), LockMode::Exclusive)->CreatedFile());
}

// Another writer replaces the file while this one waits for the old one's
// lock: once it has that lock, it sees that the path names another file
// and starts again on that one.
class ReplacingFileSystem : public test::FaultyFileSystem {
public:
  explicit ReplacingFileSystem(std::string replacement) : replacement_(std::move(replacement)) {}
  int locks = 0;
  LockResult TryLock(File& file, LockMode mode) override {
    if (++locks == 1) {
      // The new contents, put in place as a replacing writer does.
      WriteBytes(replacement_ + ".new", "[S]\r\nK=new\r\n");
      test::ReplaceWith(replacement_ + ".new", replacement_);
    }
    return FaultyFileSystem::TryLock(file, mode);
  }

private:
  std::string replacement_;
};

TEST(PlatformProfileLock, AWaiterStartsAgainWhenTheFileWasReplaced) {
  TempDir dir;
  const std::string file = dir.Path("s.ini");
  WriteBytes(file, "[S]\r\nK=old\r\n");
  auto fs = std::make_shared<ReplacingFileSystem>(file);
  PortableProfileFile profile(test::Windows1252(), fs);
  EXPECT_TRUE(profile.WriteString("S", "L", "1", file)) << profile.Problem();
  EXPECT_GE(fs->locks, 2);
  EXPECT_EQ(ReadBytes(file), "[S]\r\nK=new\r\nL=1\r\n");
}

// Writers that create a missing file at the same time, one of them slow to
// put its new file in place (as a delayed link or rename would be), on a
// file system that can replace files and on one that cannot (no hard links:
// every write goes in place). The creator's empty file is in place and
// locked before anything is written, so no other writer's clean-up can take
// its temporary file, and no creation replaces a file that another writer
// made: every writer succeeds and every key arrives.
struct CreationCase {
  const char* name;
  std::set<test::Fault> faults;
};

class ProfileCreationRace : public ::testing::TestWithParam<CreationCase> {
protected:
  // Runs one thread per writer; the first one's replacement waits 300 ms.
  template <class Write> void RunWriters(int writers, const Write& write) {
    test::RunConcurrently(writers, [&](int i) {
      auto fs = std::make_shared<test::FaultyFileSystem>(GetParam().faults);
      if (i == 0)
        fs->beforeStep = [](std::string_view step) {
          if (step == "Replace")
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        };
      PortableProfileFile profile(test::Windows1252(), fs);
      write(i, profile);
    });
  }
};

TEST_P(ProfileCreationRace, EveryWriterOfAMissingFileSucceeds) {
  TempDir dir;
  const std::string file = dir.Path("s.ini");
  constexpr int kWriters = 4;
  std::vector<std::string> problems(kWriters, "not run");
  RunWriters(kWriters, [&](int i, PortableProfileFile& profile) {
    problems[i] =
        profile.WriteString("S", "K" + std::to_string(i), "v", file) ? "" : profile.Problem();
  });
  const std::string text = ReadBytes(file);
  for (int i = 0; i < kWriters; ++i) {
    EXPECT_EQ(problems[i], "") << "writer " << i;
    EXPECT_NE(text.find("K" + std::to_string(i) + "=v\r\n"), std::string::npos) << text;
  }
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"s.ini"});
}

TEST_P(ProfileCreationRace, OneCreatorWinsAndTheOthersFindItThere) {
  TempDir dir;
  const std::string file = dir.Path("s.ini");
  constexpr int kCreators = 4;
  std::vector<PortableProfileFile::Created> results(kCreators);
  RunWriters(kCreators, [&](int i, PortableProfileFile& profile) {
    results[i] = profile.Create(PathFromUtf8(file), "[S]\r\nBy=" + std::to_string(i) + "\r\n");
  });
  int created = 0;
  for (int i = 0; i < kCreators; ++i) {
    EXPECT_NE(results[i], PortableProfileFile::Created::Failed) << "creator " << i;
    if (results[i] == PortableProfileFile::Created::Yes) {
      ++created;
      EXPECT_EQ(ReadBytes(file), "[S]\r\nBy=" + std::to_string(i) + "\r\n");
    }
  }
  EXPECT_EQ(created, 1);
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"s.ini"});
}

const CreationCase kCreationCases[] = {
    {"SlowReplacement", {}},
    {"NoHardLinks", {test::Fault::RenameRefused}},
};

INSTANTIATE_TEST_SUITE_P(Platform, ProfileCreationRace, ::testing::ValuesIn(kCreationCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vantelo
