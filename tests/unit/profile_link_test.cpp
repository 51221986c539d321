// A settings file in a folder that everyone may write to (sticky, as /tmp),
// where another user swaps its name between a file and a symbolic link to a
// file of ours: whatever step of a write the swap comes before, no byte of
// the link's target changes and the target is never replaced. Needs root,
// to give the link to another user.
#include "profile/portable_profile_file.h"
#include "support/faulty_file_system.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vantelo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

constexpr uid_t kOtherUser = 65534; // nobody
const std::string kTarget = "[S]\r\nK=ours\r\n";

// The shared folder with foo.ini (another user's file), and our file
// elsewhere.
struct SharedFolder {
  TempDir dir;
  std::string shared = dir.Path("shared"), file = dir.Path("shared/foo.ini"),
              ours = dir.Path("ours.ini");

  SharedFolder() {
    ::mkdir(shared.c_str(), 0700);
    ::chmod(shared.c_str(), 01777);
    WriteBytes(file, "[S]\r\nK=1\r\n");
    ::chown(file.c_str(), kOtherUser, kOtherUser);
    WriteBytes(ours, kTarget);
  }
  // What the other user does: puts a link to our file in foo.ini's place, or
  // a file of their own back.
  void Swap(bool link) const {
    const std::string next = shared + "/.next";
    if (link) {
      ::symlink(ours.c_str(), next.c_str());
      ::lchown(next.c_str(), kOtherUser, kOtherUser);
    } else {
      WriteBytes(next, "[S]\r\nK=1\r\n");
      ::chown(next.c_str(), kOtherUser, kOtherUser);
    }
    std::rename(next.c_str(), file.c_str());
  }
  bool OursUntouched(ino_t inode) const {
    struct stat st {};
    return ::stat(ours.c_str(), &st) == 0 && st.st_ino == inode && ReadBytes(ours) == kTarget;
  }
};

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
}

class ProfileLinkSwap : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    if (::geteuid() != 0)
      GTEST_SKIP() << "needs root, to give a link to another user";
  }
};

TEST_P(ProfileLinkSwap, TheLinksTargetIsNeverWritten) {
  const SharedFolder folder;
  const ino_t inode = InodeOf(folder.ours);
  auto fs = std::make_shared<test::FaultyFileSystem>();
  bool swapped = false;
  fs->beforeStep = [&](std::string_view step) {
    if (step == GetParam() && !swapped) {
      folder.Swap(true);
      swapped = true;
    }
  };
  PortableProfileFile profile(test::Windows1252(), fs);
  // A write that grows the file (replaced) and one that shrinks it.
  for (const std::string value : {"a much longer value than before", "x"}) {
    swapped = false;
    folder.Swap(false);
    profile.WriteString("S", "K", value, folder.file);
    EXPECT_TRUE(swapped) << "the step was not reached";
    EXPECT_TRUE(folder.OursUntouched(inode)) << ReadBytes(folder.ours);
  }
  std::set<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(folder.shared))
    entries.insert(entry.path().filename().string());
  EXPECT_EQ(entries, std::set<std::string>{"foo.ini"}) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Platform, ProfileLinkSwap,
                         ::testing::Values("Open", "TryLock", "StillNamed", "Inspect", "Read",
                                           "CreateTemp", "CopyIdentity", "WriteAt", "Flush",
                                           "Replace"),
                         [](const auto& info) { return std::string(info.param); });

// The same swaps at full speed from another thread, while writes go on.
TEST_F(ProfileLinkSwap, AnotherUsersLinkSwappedInAtAnyMomentIsNeverFollowed) {
  const SharedFolder folder;
  const ino_t inode = InodeOf(folder.ours);
  std::atomic<bool> done = false;
  std::thread swapper([&] {
    for (bool link = true; !done; link = !link)
      folder.Swap(link);
  });
  PortableProfileFile profile(test::Windows1252());
  int written = 0;
  for (int round = 0; round < 400; ++round)
    written += profile.WriteString("S", "K", "root" + std::to_string(round), folder.file);
  done = true;
  swapper.join();
  EXPECT_TRUE(folder.OursUntouched(inode)) << ReadBytes(folder.ours);
  RecordProperty("writes", written); // those that met the other user's file
}

// Our own link, or one of the folder's owner, is followed as anywhere else.
TEST_F(ProfileLinkSwap, OwnLinksInASharedFolderAreFollowed) {
  const SharedFolder folder;
  ::unlink(folder.file.c_str());
  ASSERT_EQ(::symlink(folder.ours.c_str(), folder.file.c_str()), 0);
  PortableProfileFile profile(test::Windows1252());
  EXPECT_TRUE(profile.WriteString("S", "L", "2", folder.file)) << profile.Problem();
  EXPECT_EQ(ReadBytes(folder.ours), kTarget + "L=2\r\n");
  // Another user's link is refused, with the reason.
  ::lchown(folder.file.c_str(), kOtherUser, kOtherUser);
  EXPECT_FALSE(profile.WriteString("S", "L", "3", folder.file));
  EXPECT_NE(profile.Problem().find("symbolic link of another user"), std::string::npos)
      << profile.Problem();
  EXPECT_EQ(ReadBytes(folder.ours), kTarget + "L=2\r\n");
}

} // namespace
} // namespace vantelo
