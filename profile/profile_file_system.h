// The file-system steps under the settings file's lock and the portable
// profile file, as one small interface that the POSIX and the Windows file
// systems implement alike (an in-memory one can too), and that tests wrap to
// make any step fail.
//
// Paths are std::filesystem::path, built from UTF-8 (platform/utf8_path.h),
// so that every name the system can hold is reachable. A step that fails
// throws FileError with the system's own text (strerror, FormatMessageW);
// outcomes a caller expects (no such file, a name already taken, a lock held
// by someone else) are results instead.
#pragma once

#include "platform/services.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantelo {

class FileError : public std::runtime_error {
public:
  // What the profile file decides on; everything else is Other.
  enum class Kind {
    Other,
    Missing,      // no such file or directory
    AccessDenied, // not allowed (permissions, a read-only folder, a sticky directory)
    NoSpace,      // the disk or the quota is full
    Busy,         // in use by another program (a sharing violation)
    CrossDevice,  // a rename across file systems
    NotSupported, // the file system cannot do it
  };
  // text: the system's message, such as "Access is denied".
  FileError(Kind kind, const std::string& text) : std::runtime_error(text), kind_(kind) {}
  Kind kind() const { return kind_; }

private:
  Kind kind_;
};

class ProfileFileSystem {
public:
  using Path = std::filesystem::path;

  // An open file. Destroying it closes it; a temporary file (CreateTemp)
  // that did not take another file's place is removed with it.
  class File {
  public:
    virtual ~File() = default;
  };

  enum class LockResult {
    Locked,      // held now
    Busy,        // another holder has it
    Unsupported, // the file system has no locks: go on without one
  };

  struct Facts {
    bool readOnly = false;   // the read-only attribute, or no write permission bit
    std::uint64_t links = 1; // the file's names (hard links)
    std::uint64_t size = 0;
  };

  virtual ~ProfileFileSystem() = default;

  // --- Opening and locking ---

  // Opens the existing regular file at path for reading and, where the
  // system needs it for an exclusive lock, for writing (a file that may not
  // be written is then opened for reading only, and an exclusive lock on it
  // fails with AccessDenied). nullptr when there is no such file, or a
  // directory on the way is missing. A symbolic link is followed: writes
  // change the file it leads to; but on POSIX not another user's link in a
  // folder everyone may write to (sticky, as /tmp), which is refused
  // (AccessDenied). Every later step works on the file opened here, never
  // on the path again.
  virtual std::unique_ptr<File> Open(const Path& path, LockMode mode) = 0;

  // Creates path as a new, empty file, open as Open opens it for an
  // exclusive lock; nullptr when a file of that name exists already.
  virtual std::unique_ptr<File> CreateNew(const Path& path) = 0;

  // One attempt, without waiting, at the lock every reader and writer of a
  // settings file takes: one byte far past the end of any settings file, so
  // that the system's profile functions can still read and write the file
  // while a lock is held (Windows' byte-range locks are mandatory).
  virtual LockResult TryLock(File& file, LockMode mode) = 0;
  virtual void Unlock(File& file) = 0;

  // Whether the path the file was opened by still names it: another writer
  // may have replaced or removed it while this one waited for the lock.
  virtual bool StillNamed(File& file) = 0;

  // Removes the name the file was opened by.
  virtual void Remove(File& file) = 0;

  // Whether another writer is replacing the file at path at this moment, so
  // that the path names no file for an instant: ReplaceFileW first moves the
  // old file to its backup name (still locked by its writer), then the new
  // one to the path. A rename (POSIX) leaves no such instant. A caller that
  // finds no file then tries again rather than take the file for missing.
  virtual bool BeingReplaced(const Path& path) = 0;

  // --- Reading ---

  virtual Facts Inspect(File& file) = 0;
  // The whole file, from its start.
  virtual std::string Read(File& file) = 0;

  // --- Writing in place ---

  // Sets aside the disk space for a file of size bytes without changing its
  // length, so that writing it cannot run out of space half-way (nothing to
  // do where the file system cannot).
  virtual void Reserve(File& file, std::uint64_t size) = 0;
  // Writes at the offset; returns the number of bytes written, which may be
  // fewer than given (0: no progress at all).
  virtual std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) = 0;
  virtual void Truncate(File& file, std::uint64_t size) = 0;
  // Forces the written bytes to the disk.
  virtual void Flush(File& file) = 0;

  // --- Replacing ---

  // A new, empty file in the target's folder, open for writing, under a
  // temporary name (TemporaryFileName) given no later than Replace.
  virtual std::unique_ptr<File> CreateTemp(File& target) = 0;

  // Gives the temporary file what of the target's identity Replace does not
  // carry over itself: on POSIX the owner, group, extended attributes (ACLs
  // among them) and mode; on Windows the attributes and the creation time
  // (ReplaceFileW keeps the security descriptor, the streams and the rest).
  // False when any of it cannot be reproduced exactly: the target is then
  // written in place.
  virtual bool CopyIdentity(File& target, File& temp) = 0;

  // Closes the temporary file and puts it in the target's place in one
  // step: whatever happens, the path names either file, whole. Fails when
  // the target's name no longer names the target (another program replaced
  // or removed it): a file of ours never takes the place of another file,
  // nor of a link. Afterwards
  // the target is no longer the file at its path, and its lock stays with
  // the old file: the lock must be taken anew.
  virtual void Replace(File& target, File& temp) = 0;

  // Removes the temporary files of the target's name that writes left
  // behind when their process died. The profile file calls it before each
  // write that changes the file, and only while it holds the target's
  // exclusive lock, so that no other write of it is under way (where the
  // file system has no locks, there is no clean-up). Only full temporary
  // names of the target go (see IsTemporaryFileNameOf): cut names and other
  // names, also ones that look alike, stay.
  virtual void RemoveStaleTemps(File& target) = 0;
};

// The file system of the system the program runs on.
std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem();

// Temporary names, the same on every system: "." + the settings file's name
// + ".vantelo-" + 12 random hexadecimal digits + ".tmp", beside the file.
// Where that would pass the 255 characters a name may have (bytes on POSIX,
// UTF-16 units on Windows), the file's name is cut and the marker is
// ".vantelo~" instead, so that such a name can never be taken for the full
// temporary name of another file.
ProfileFileSystem::Path TemporaryFileName(const ProfileFileSystem::Path& target);
// Whether name (a file name without a folder) is a temporary name of the
// target in full: the clean-up removes only those. Cut names match only
// with orCut: they cannot be told apart from those of another long name.
bool IsTemporaryFileNameOf(const ProfileFileSystem::Path& target,
                           const ProfileFileSystem::Path& name, bool orCut = false);

} // namespace vantelo
