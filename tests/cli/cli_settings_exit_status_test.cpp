// The exit status of the settings tools that write, by one rule whoever runs
// the program: 2 when the settings file cannot be opened for writing or
// created at all, 1 when a write that started fails (a full disk); with
// either, the file keeps every byte. And the writes that must succeed where
// a replacement cannot be made: a file bound onto its place by a mount, a
// change that fits on a full disk. The first test runs against vantelo.exe
// under Wine too; the others need root (to mount) and the Linux program.
#include "cli/program.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantelo::test {
namespace {

// Who runs the program: this process's user and, when it is root, nobody
// (a second user, to whom root's rights do not apply).
std::vector<std::string> Users() {
  if (::geteuid() == 0 && !WindowsProgram())
    return {"", "65534"};
  return {""};
}

std::string Who(const std::string& user) { return user.empty() ? "this user" : "user " + user; }

const std::vector<std::string> kWritingTools[] = {
    {"settings", "set"}, // followed by FILE SECTION KEY VALUE
    {"settings", "init"},
};

std::vector<std::string> Arguments(const std::vector<std::string>& tool, const std::string& file,
                                   const std::string& value = "V") {
  std::vector<std::string> arguments = tool;
  arguments.push_back(file);
  if (tool[1] == "set")
    arguments.insert(arguments.end(), {"Global Options", "EnableTimeStamp", value});
  return arguments;
}

TEST(CliSettingsExitStatus, TwoWhenTheFileCannotBeOpenedForWritingOrCreated) {
  TempDir dir;
  const std::string readOnly = dir.Path("read-only.ini"), folder = dir.Path("folder.ini");
  WriteBytes(readOnly, "[S]\r\nK=1\r\n");
  ::chmod(readOnly.c_str(), 0444);
  std::filesystem::create_directory(PathFromUtf8(folder));
  struct Case {
    std::string file, reason;
  };
  std::vector<Case> cases = {
      // Root may write into any folder, but cannot create a file here.
      {"/proc/vantelo.ini", "cannot be created in /proc"},
      {readOnly, "read-only"},
      {folder, "not a regular file"},
  };
  if (!WindowsProgram()) { // Wine takes a dangling link for a missing file
    const std::string dangling = dir.Path("dangling.ini");
    std::filesystem::create_symlink(PathFromUtf8(dir.Path("gone/nowhere.ini")),
                                    PathFromUtf8(dangling));
    cases.push_back({dangling, "a symbolic link that leads nowhere"});
  }
  for (const std::string& user : Users())
    for (const auto& c : cases)
      for (const auto& tool : kWritingTools) {
        SCOPED_TRACE(Who(user) + ": " + tool[1] + " " + c.file);
        const auto run = RunVantelo(Arguments(tool, c.file), {.user = user});
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.file), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
      }
  EXPECT_EQ(ReadBytes(readOnly), "[S]\r\nK=1\r\n");
  EXPECT_FALSE(Exists("/proc/vantelo.ini"));
}

// A file system mounted for one test and unmounted at its end.
class Mount {
public:
  Mount(const std::string& source, const std::string& target, const char* type, unsigned long flags,
        const std::string& options)
      : target_(target) {
    if (::mount(source.c_str(), target.c_str(), type, flags, options.c_str()) != 0)
      problem_ = std::strerror(errno);
  }
  ~Mount() {
    if (problem_.empty())
      ::umount2(target_.c_str(), MNT_DETACH);
  }
  Mount(const Mount&) = delete;
  Mount& operator=(const Mount&) = delete;
  const std::string& Problem() const { return problem_; }

private:
  std::string target_, problem_;
};

#define SKIP_UNLESS_MOUNTED(mount)                                                                 \
  if (!(mount).Problem().empty())                                                                  \
  GTEST_SKIP() << "mounting is not permitted here: " << (mount).Problem()

// A disk of 256 KiB that holds the settings file and is then filled up: a
// change that makes the file longer fails with status 1 and leaves it as it
// was, for every user; one that fits is made, although no temporary copy of
// the file fits beside it. The Windows program writes single keys (set)
// through the system's own profile functions, so there only init's write is
// ours to test.
TEST(CliSettingsExitStatus, OneWhenAWriteThatStartedFailsOnAFullDisk) {
  TempDir dir;
  const std::string disk = dir.Path("disk");
  std::filesystem::create_directory(PathFromUtf8(disk));
  const Mount mount("vantelo-test", disk, "tmpfs", 0, "size=256k,mode=1777");
  SKIP_UNLESS_MOUNTED(mount);
  const std::string file = disk + "/Vantelo.ini";
  std::string before = "[Global Options]\r\nEnableTimeStamp=False\r\n[Notes]\r\n";
  for (int i = 0; i < 1000; ++i)
    before += "Note" + std::to_string(i) + "=" + std::string(40, 'n') + "\r\n";
  // A whole number of pages, so that the file has no room to grow into.
  before += "Last=" + std::string(4096 - (before.size() + 7) % 4096, 'n') + "\r\n";
  WriteBytes(file, before);
  ::chmod(file.c_str(), 0666);
  {
    std::FILE* filler = std::fopen((disk + "/filler").c_str(), "wb");
    ASSERT_NE(filler, nullptr);
    const std::string block(4096, 'f');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
           std::fflush(filler) == 0) {
    }
    std::fclose(filler);
  }
  for (const std::string& user : Users())
    for (const auto& tool : kWritingTools) {
      if (WindowsProgram() && tool[1] == "set")
        continue;
      SCOPED_TRACE(Who(user) + ": " + tool[1]);
      const auto run = RunVantelo(Arguments(tool, file, std::string(8000, 'v')), {.user = user});
      const std::string said = run.err + run.out;
      EXPECT_EQ(run.status, 1) << said;
      EXPECT_NE(said.find(file), std::string::npos) << said;
      // In the system's words: strerror, or Wine's and Windows' messages.
      EXPECT_TRUE(said.find("No space left on device") != std::string::npos ||
                  said.find("Disk full") != std::string::npos ||
                  said.find("not enough space") != std::string::npos)
          << said;
      EXPECT_TRUE(ReadBytes(file) == before) << "the file changed";
    }
  if (WindowsProgram())
    return;
  const auto fits = RunVantelo(Arguments(kWritingTools[0], file, "True"));
  EXPECT_EQ(fits.status, 0) << fits.err;
  std::string after = before;
  after.replace(after.find("False"), 5, "True");
  EXPECT_TRUE(ReadBytes(file) == after) << "the change that fits is not there";
  std::set<std::string> entries;
  for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(disk)))
    entries.insert(entry.path().filename().string());
  EXPECT_EQ(entries, (std::set<std::string>{"Vantelo.ini", "filler"}));
}

// A settings file bound onto its place (as containers mount single
// configuration files) cannot be replaced by a rename: it is written in
// place, through the mount, into the file mounted there.
TEST(CliSettingsExitStatus, AFileBoundOntoItsPlaceIsWrittenThroughTheMount) {
  if (WindowsProgram())
    GTEST_SKIP() << "no bind mounts on Windows";
  TempDir dir;
  const std::string real = dir.Path("real.ini"), mounted = dir.Path("mounted.ini");
  WriteBytes(real, "[Global Options]\r\nEnableTimeStamp=False\r\n");
  WriteBytes(mounted, "");
  const Mount mount(real, mounted, nullptr, MS_BIND, "");
  SKIP_UNLESS_MOUNTED(mount);
  for (const auto& tool : kWritingTools) {
    const auto run = RunVantelo(Arguments(tool, mounted, "True"));
    EXPECT_EQ(run.status, 0) << tool[1] << ": " << run.err;
  }
  const std::string text = ReadBytes(real);
  EXPECT_EQ(text.find("[Global Options]\r\nEnableTimeStamp=True\r\n"), 0u) << text;
  EXPECT_NE(text.find("EnablePaperSize="), std::string::npos) << "init completed it";
}

} // namespace
} // namespace vantelo::test
