// PortableProfileFile::WriteString when a step of the write fails: it returns
// false, the old file stays byte for byte and no temporary file is left.
#include "platform/portable_profile_file.h"
#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace vantelo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

enum class Fault {
  ReadFails,             // the old file cannot be read
  ReadOnlyFile,          // MayReplace says no
  UnwritableDirectory,   // the temporary file cannot be created (EACCES)
  ShortWriteThenNoSpace, // half the bytes, then ENOSPC
  NoSpace,               // ENOSPC at once
  ShortWriteThenNothing, // half the bytes, then no progress
  WriteReturnsZero,      // no progress at all
  FlushFails,            // fsync reports EIO
  CloseFails,            // close reports ENOSPC (as on NFS)
  RenameFails,           // rename fails (EXDEV, EBUSY...)
  ResolveFails,          // a dangling symbolic link
};

const char* Name(Fault f) {
  switch (f) {
  case Fault::ReadFails:
    return "ReadFails";
  case Fault::ReadOnlyFile:
    return "ReadOnlyFile";
  case Fault::UnwritableDirectory:
    return "UnwritableDirectory";
  case Fault::ShortWriteThenNoSpace:
    return "ShortWriteThenNoSpace";
  case Fault::NoSpace:
    return "NoSpace";
  case Fault::ShortWriteThenNothing:
    return "ShortWriteThenNothing";
  case Fault::WriteReturnsZero:
    return "WriteReturnsZero";
  case Fault::FlushFails:
    return "FlushFails";
  case Fault::CloseFails:
    return "CloseFails";
  case Fault::RenameFails:
    return "RenameFails";
  case Fault::ResolveFails:
    return "ResolveFails";
  }
  return "?";
}

// The real file system with one step made to fail.
class FaultyFileSystem : public PosixProfileFileSystem {
public:
  explicit FaultyFileSystem(Fault fault) : fault_(fault) {}

  int writes = 0;
  int closes = 0;
  int removes = 0;
  std::string tempPath;

  ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
    if (fault_ == Fault::ReadFails) {
      errno = EIO;
      return ReadResult::Failed;
    }
    return PosixProfileFileSystem::ReadWholeFile(path, contents);
  }
  bool ResolveTarget(const std::string& path, std::string& target) override {
    if (fault_ == Fault::ResolveFails)
      return false;
    return PosixProfileFileSystem::ResolveTarget(path, target);
  }
  bool MayReplace(const std::string& path) override {
    if (fault_ == Fault::ReadOnlyFile)
      return false;
    return PosixProfileFileSystem::MayReplace(path);
  }
  bool CreateTemp(const std::string& target, TempFile& temp) override {
    if (fault_ == Fault::UnwritableDirectory) {
      errno = EACCES;
      return false;
    }
    bool ok = PosixProfileFileSystem::CreateTemp(target, temp);
    tempPath = temp.path;
    return ok;
  }
  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override {
    ++writes;
    switch (fault_) {
    case Fault::ShortWriteThenNoSpace:
    case Fault::ShortWriteThenNothing:
      if (writes == 1)
        return PosixProfileFileSystem::Write(handle, data, size / 2);
      if (fault_ == Fault::ShortWriteThenNothing)
        return 0;
      errno = ENOSPC;
      return -1;
    case Fault::NoSpace:
      errno = ENOSPC;
      return -1;
    case Fault::WriteReturnsZero:
      return 0;
    default:
      return PosixProfileFileSystem::Write(handle, data, size);
    }
  }
  bool Flush(int handle) override {
    if (fault_ == Fault::FlushFails) {
      errno = EIO;
      return false;
    }
    return PosixProfileFileSystem::Flush(handle);
  }
  bool Close(int handle) override {
    ++closes;
    bool ok = PosixProfileFileSystem::Close(handle);
    if (fault_ == Fault::CloseFails) {
      errno = ENOSPC;
      return false;
    }
    return ok;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (fault_ == Fault::RenameFails) {
      errno = EXDEV;
      return false;
    }
    return PosixProfileFileSystem::Rename(from, to);
  }
  bool Remove(const std::string& path) override {
    ++removes;
    return PosixProfileFileSystem::Remove(path);
  }

private:
  Fault fault_;
};

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
                                           Fault::ResolveFails),
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

} // namespace
} // namespace vantelo
