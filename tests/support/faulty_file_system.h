// The real file system with one step of a profile-file write made to fail,
// for the tests of what a failed write leaves behind.
#pragma once

#include "platform/profile_file_system.h"

#include <cerrno>
#include <cstddef>
#include <new>
#include <string>

namespace vantelo::test {

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
  WriteThrows,           // half the bytes, then an exception (out of memory)
};

inline const char* Name(Fault f) {
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
  case Fault::WriteThrows:
    return "WriteThrows";
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
    case Fault::WriteThrows:
      PosixProfileFileSystem::Write(handle, data, size / 2);
      throw std::bad_alloc();
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

} // namespace vantelo::test
