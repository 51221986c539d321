// The settings file's lock, as every profile file takes it: the holds one
// profile file object has, and the bounded wait for them.
//
// The lock is one byte far past the end of the settings file itself
// (ProfileFileSystem::TryLock): Shared for a reader, Exclusive for a writer.
// A hold is taken once, by the outermost caller, and shared by every call
// made within it on the same path: the calls of one read-modify-write (a
// save's load with its write-backs, GetFromINI with its write-back) never
// wait for their own lock. This matters because locks conflict per open
// file (POSIX open file description locks, Windows byte-range locks), also
// within one process. A hold for writing within one for reading is refused
// rather than upgraded, since two readers that both wanted to write would
// wait for each other. Holds are recognised by the path text; the object
// serves one thread at a time, as the add-in's calls all come on the host's.
//
// A missing file cannot be locked, so a writer that finds none creates it
// empty (an empty file reads as a missing one) and locks that; when the hold
// ends and nothing was written into it, it is removed again. A reader of a
// missing file holds nothing: a new file appears whole (replaced in one step)
// or, through the profile functions, holding only the one key of its first
// write.
//
// Waiting is bounded (kProfileLockWait): a program that keeps the lock
// longer, or a file system that hangs, costs a caller at most that long.
// The hold is then not granted: a reader reads unlocked, a writer fails.
#pragma once

#include "platform/services.h"
#include "profile/profile_file_system.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>

namespace vantelo {

// How long a caller waits for the lock before it gives up.
inline constexpr std::chrono::milliseconds kProfileLockWait{10000};

class ProfileLocks {
  struct Entry;

public:
  explicit ProfileLocks(std::shared_ptr<ProfileFileSystem> fileSystem,
                        std::chrono::milliseconds wait = kProfileLockWait);
  ~ProfileLocks();
  ProfileLocks(const ProfileLocks&) = delete;
  ProfileLocks& operator=(const ProfileLocks&) = delete;

  class Hold final : public ProfileFile::Hold {
  public:
    Hold(std::shared_ptr<Entry> entry, std::string refusal);
    ~Hold() override;
    bool Granted() const override;
    // Why the hold is not granted, or why it has no file; else empty.
    std::string Problem() const;
    // The locked file; nullptr when there is none (a reader of a missing
    // file) or it could not be opened or created (Problem says why).
    ProfileFileSystem::File* File() const;
    // Whether this hold's lock created the file, which did not exist.
    bool CreatedFile() const;
    // Whether the lock is held: false on a file system without locks.
    bool Locked() const;
    // After the file was replaced: the lock moves to the file the path now
    // names, for every call within the hold (with a new wait if another
    // writer took it first).
    void Renew();

  private:
    std::shared_ptr<Entry> entry_;
    std::string refusal_; // set: a hold for writing within one for reading
  };

  // The hold on the file at path: this object's own when it has one, else a
  // new one, waited for. Throws only what allocation throws.
  std::unique_ptr<Hold> Acquire(const ProfileFileSystem::Path& path, LockMode mode);

private:
  std::shared_ptr<ProfileFileSystem> fs_;
  std::chrono::milliseconds wait_;
  std::map<ProfileFileSystem::Path::string_type, std::weak_ptr<Entry>> held_;
};

} // namespace vantelo
