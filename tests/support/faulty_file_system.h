// The real file system with steps of a profile-file write made to fail, for
// the tests of what a failed write leaves behind.
#pragma once

#include "platform/profile_file_system.h"

#include <cerrno>
#include <cstddef>
#include <new>
#include <set>
#include <string>
#include <utility>

namespace vantelo::test {

enum class Fault {
  ReadFails,             // the old file cannot be read
  ReadOnlyFile,          // the file has no write permission bit
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
  IdentityNotKept,       // the new file cannot get the old one's owner (EPERM)
  RenameRefused,         // a sticky directory refuses the rename (EPERM)
  NoSpaceToReserve,      // no room to write in place (ENOSPC)
  InPlaceWriteFails,     // the first write into the settings file itself fails (EIO)
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
  case Fault::IdentityNotKept:
    return "IdentityNotKept";
  case Fault::RenameRefused:
    return "RenameRefused";
  case Fault::NoSpaceToReserve:
    return "NoSpaceToReserve";
  case Fault::InPlaceWriteFails:
    return "InPlaceWriteFails";
  }
  return "?";
}

// The real file system with the given steps made to fail.
class FaultyFileSystem : public PosixProfileFileSystem {
public:
  explicit FaultyFileSystem(Fault fault) : faults_{fault} {}
  explicit FaultyFileSystem(std::set<Fault> faults) : faults_(std::move(faults)) {}

  int writes = 0;
  int closes = 0;
  int removes = 0;
  std::string tempPath;

  ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
    if (Has(Fault::ReadFails)) {
      errno = EIO;
      return ReadResult::Failed;
    }
    return PosixProfileFileSystem::ReadWholeFile(path, contents);
  }
  bool ResolveTarget(const std::string& path, std::string& target) override {
    if (Has(Fault::ResolveFails)) {
      errno = ENOENT;
      return false;
    }
    return PosixProfileFileSystem::ResolveTarget(path, target);
  }
  ReadResult OpenLocked(const std::string& path, int& handle) override {
    const ReadResult result = PosixProfileFileSystem::OpenLocked(path, handle);
    lockedHandle_ = result == ReadResult::Ok ? handle : -1;
    inPlaceFailed_ = false;
    return result;
  }
  bool Inspect(int handle, FileFacts& facts) override {
    const bool ok = PosixProfileFileSystem::Inspect(handle, facts);
    if (Has(Fault::ReadOnlyFile))
      facts.writeBits = false;
    return ok;
  }
  ReadResult ReadOpen(int handle, std::string& contents) override {
    if (Has(Fault::ReadFails)) {
      errno = EIO;
      return ReadResult::Failed;
    }
    return PosixProfileFileSystem::ReadOpen(handle, contents);
  }
  bool CreateTemp(const std::string& target, TempFile& temp) override {
    if (Has(Fault::UnwritableDirectory)) {
      errno = EACCES;
      return false;
    }
    bool ok = PosixProfileFileSystem::CreateTemp(target, temp);
    tempPath = temp.path;
    return ok;
  }
  bool CopyIdentity(int from, const TempFile& temp) override {
    if (Has(Fault::IdentityNotKept)) {
      errno = EPERM;
      return false;
    }
    return PosixProfileFileSystem::CopyIdentity(from, temp);
  }
  bool NameTemp(const std::string& target, TempFile& temp) override {
    const bool ok = PosixProfileFileSystem::NameTemp(target, temp);
    tempPath = temp.path;
    return ok;
  }
  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override {
    ++writes;
    if (handle == lockedHandle_) {
      if (Has(Fault::InPlaceWriteFails) && !inPlaceFailed_) {
        inPlaceFailed_ = true;
        PosixProfileFileSystem::Write(handle, data, size / 2);
        errno = EIO;
        return -1;
      }
      return PosixProfileFileSystem::Write(handle, data, size);
    }
    if (Has(Fault::ShortWriteThenNoSpace) || Has(Fault::ShortWriteThenNothing)) {
      if (writes == 1)
        return PosixProfileFileSystem::Write(handle, data, size / 2);
      if (Has(Fault::ShortWriteThenNothing))
        return 0;
      errno = ENOSPC;
      return -1;
    }
    if (Has(Fault::NoSpace)) {
      errno = ENOSPC;
      return -1;
    }
    if (Has(Fault::WriteReturnsZero))
      return 0;
    if (Has(Fault::WriteThrows)) {
      PosixProfileFileSystem::Write(handle, data, size / 2);
      throw std::bad_alloc();
    }
    return PosixProfileFileSystem::Write(handle, data, size);
  }
  bool Reserve(int handle, std::uint64_t size) override {
    if (Has(Fault::NoSpaceToReserve)) {
      errno = ENOSPC;
      return false;
    }
    return PosixProfileFileSystem::Reserve(handle, size);
  }
  bool Flush(int handle) override {
    if (Has(Fault::FlushFails)) {
      errno = EIO;
      return false;
    }
    return PosixProfileFileSystem::Flush(handle);
  }
  bool Close(int handle) override {
    ++closes;
    bool ok = PosixProfileFileSystem::Close(handle);
    if (Has(Fault::CloseFails) && handle != lockedHandle_) {
      errno = ENOSPC;
      return false;
    }
    return ok;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    if (Has(Fault::RenameFails) || Has(Fault::RenameRefused)) {
      errno = Has(Fault::RenameFails) ? EXDEV : EPERM;
      return false;
    }
    return PosixProfileFileSystem::Rename(from, to);
  }
  bool Link(const std::string& from, const std::string& to) override {
    if (Has(Fault::RenameFails)) { // the new file's link stands for the rename
      errno = EXDEV;
      return false;
    }
    return PosixProfileFileSystem::Link(from, to);
  }
  bool Remove(const std::string& path) override {
    ++removes;
    return PosixProfileFileSystem::Remove(path);
  }

private:
  bool Has(Fault f) const { return faults_.count(f) != 0; }

  std::set<Fault> faults_;
  int lockedHandle_ = -1;
  bool inPlaceFailed_ = false;
};

} // namespace vantelo::test
