// The system's file system with steps of a settings-file write made to fail,
// for the tests of what a failed write leaves behind. It wraps the native
// file system through the ProfileFileSystem seam, so the same faults are
// injected on POSIX and on Windows (under Wine).
#pragma once

#include "profile/profile_file_system.h"
#include "profile/windows1252_code_page.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace vantelo::test {

// The code page the tests' profile files take their paths in.
inline std::shared_ptr<AnsiCodePage> Windows1252() {
  return std::make_shared<Windows1252CodePage>();
}

enum class Fault {
  ReadFails,             // the old file cannot be read
  ReadOnlyFile,          // the file is read-only
  OpenFails,             // the file cannot be opened at all (a loop of links, no access)
  UnwritableDirectory,   // the temporary file cannot be created (access denied)
  ShortWriteThenNoSpace, // half the bytes, then no space
  NoSpace,               // no space at once
  ShortWriteThenNothing, // half the bytes, then no progress
  WriteReturnsZero,      // no progress at all
  FlushFails,            // the flush to disk fails
  CloseFails,            // closing the new file reports a failure (as on NFS)
  RenameFails,           // the replacement fails (across file systems)
  RenameBusy,            // the replacement fails: the file is a mount point
  NoLocks,               // the file system has no locks
  WriteThrows,           // half the bytes, then an exception (out of memory)
  IdentityNotKept,       // the new file cannot get the old one's identity
  RenameRefused,         // a sticky or read-only folder refuses the replacement
  NoSpaceToReserve,      // no room to write in place
  InPlaceWriteFails,     // the first write into the settings file itself fails
};

inline const char* Name(Fault f) {
  switch (f) {
  case Fault::ReadFails:
    return "ReadFails";
  case Fault::ReadOnlyFile:
    return "ReadOnlyFile";
  case Fault::OpenFails:
    return "OpenFails";
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
  case Fault::RenameBusy:
    return "RenameBusy";
  case Fault::NoLocks:
    return "NoLocks";
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

// The native file system with the given steps made to fail, counting the
// reads.
class FaultyFileSystem : public ProfileFileSystem {
public:
  FaultyFileSystem() = default;
  explicit FaultyFileSystem(Fault fault) : faults_{fault} {}
  explicit FaultyFileSystem(std::set<Fault> faults) : faults_(std::move(faults)) {}

  int reads = 0;
  // Called before each step with the step's name ("Open", "TryLock",
  // "Replace"...): a test changes the files there, or waits.
  std::function<void(std::string_view step)> beforeStep;

  std::unique_ptr<File> Open(const Path& path, LockMode mode) override {
    Before("Open");
    if (Has(Fault::OpenFails))
      throw FileError(FileError::Kind::Other, "Too many levels of symbolic links");
    inPlaceFailed_ = false; // each write opens the file anew
    return Wrap(inner_->Open(path, mode), false);
  }
  std::unique_ptr<File> CreateNew(const Path& path) override {
    Before("CreateNew");
    return Wrap(inner_->CreateNew(path), false);
  }
  LockResult TryLock(File& file, LockMode mode) override {
    Before("TryLock");
    if (Has(Fault::NoLocks))
      return LockResult::Unsupported;
    return inner_->TryLock(In(file), mode);
  }
  void Unlock(File& file) override {
    if (!Has(Fault::NoLocks))
      inner_->Unlock(In(file));
  }
  bool StillNamed(File& file) override {
    Before("StillNamed");
    return inner_->StillNamed(In(file));
  }
  void Remove(File& file) override {
    Before("Remove");
    inner_->Remove(In(file));
  }
  bool BeingReplaced(const Path& path) override { return inner_->BeingReplaced(path); }
  Facts Inspect(File& file) override {
    Before("Inspect");
    Facts facts = inner_->Inspect(In(file));
    if (Has(Fault::ReadOnlyFile))
      facts.readOnly = true;
    return facts;
  }
  std::string Read(File& file) override {
    Before("Read");
    ++reads;
    if (Has(Fault::ReadFails))
      throw FileError(FileError::Kind::Other, "Input/output error");
    return inner_->Read(In(file));
  }
  void Reserve(File& file, std::uint64_t size) override {
    Before("Reserve");
    if (Has(Fault::NoSpaceToReserve))
      throw FileError(FileError::Kind::NoSpace, "No space left on device");
    inner_->Reserve(In(file), size);
  }
  std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) override {
    Before("WriteAt");
    Wrapped& w = Of(file);
    ++w.writes;
    if (!w.temporary) {
      if (Has(Fault::InPlaceWriteFails) && !inPlaceFailed_) {
        inPlaceFailed_ = true;
        inner_->WriteAt(*w.inner, offset, data.substr(0, data.size() / 2));
        throw FileError(FileError::Kind::Other, "Input/output error");
      }
      return inner_->WriteAt(*w.inner, offset, data);
    }
    if (Has(Fault::ShortWriteThenNoSpace) || Has(Fault::ShortWriteThenNothing)) {
      if (w.writes == 1)
        return inner_->WriteAt(*w.inner, offset, data.substr(0, data.size() / 2));
      if (Has(Fault::ShortWriteThenNothing))
        return 0;
      throw FileError(FileError::Kind::NoSpace, "No space left on device");
    }
    if (Has(Fault::NoSpace))
      throw FileError(FileError::Kind::NoSpace, "No space left on device");
    if (Has(Fault::WriteReturnsZero))
      return 0;
    if (Has(Fault::WriteThrows)) {
      inner_->WriteAt(*w.inner, offset, data.substr(0, data.size() / 2));
      throw std::bad_alloc();
    }
    return inner_->WriteAt(*w.inner, offset, data);
  }
  void Truncate(File& file, std::uint64_t size) override {
    Before("Truncate");
    inner_->Truncate(In(file), size);
  }
  void Flush(File& file) override {
    Before("Flush");
    if (Has(Fault::FlushFails))
      throw FileError(FileError::Kind::Other, "Input/output error");
    inner_->Flush(In(file));
  }
  std::unique_ptr<File> CreateTemp(File& target) override {
    Before("CreateTemp");
    if (Has(Fault::UnwritableDirectory))
      throw FileError(FileError::Kind::AccessDenied, "Permission denied");
    return Wrap(inner_->CreateTemp(In(target)), true);
  }
  bool CopyIdentity(File& target, File& temp) override {
    Before("CopyIdentity");
    return !Has(Fault::IdentityNotKept) && inner_->CopyIdentity(In(target), In(temp));
  }
  void Replace(File& target, File& temp) override {
    Before("Replace");
    if (Has(Fault::CloseFails))
      throw FileError(FileError::Kind::NoSpace, "No space left on device");
    if (Has(Fault::RenameFails))
      throw FileError(FileError::Kind::CrossDevice, "Invalid cross-device link");
    if (Has(Fault::RenameRefused))
      throw FileError(FileError::Kind::AccessDenied, "Operation not permitted");
    if (Has(Fault::RenameBusy))
      throw FileError(FileError::Kind::Busy, "Device or resource busy");
    inner_->Replace(In(target), In(temp));
  }
  void RemoveStaleTemps(File& target) override {
    Before("RemoveStaleTemps");
    inner_->RemoveStaleTemps(In(target));
  }

private:
  struct Wrapped : File {
    std::unique_ptr<File> inner;
    bool temporary = false;
    int writes = 0;
  };
  static Wrapped& Of(File& file) { return static_cast<Wrapped&>(file); }
  static File& In(File& file) { return *Of(file).inner; }
  static std::unique_ptr<File> Wrap(std::unique_ptr<File> inner, bool temporary) {
    if (!inner)
      return nullptr;
    auto wrapped = std::make_unique<Wrapped>();
    wrapped->inner = std::move(inner);
    wrapped->temporary = temporary;
    return wrapped;
  }
  bool Has(Fault f) const { return faults_.count(f) != 0; }
  void Before(std::string_view step) {
    if (beforeStep)
      beforeStep(step);
  }

  std::shared_ptr<ProfileFileSystem> inner_ = MakeNativeProfileFileSystem();
  std::set<Fault> faults_;
  bool inPlaceFailed_ = false;
};

} // namespace vantelo::test
