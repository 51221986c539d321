#include "profile/profile_lock.h"

#include <algorithm>
#include <thread>

namespace vantelo {

namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The first and the longest pause between two attempts at a busy lock.
constexpr milliseconds kFirstPause{1};
constexpr milliseconds kLongestPause{25};

enum class Waited { Locked, Unlocked, TimedOut };

std::string WaitText(milliseconds wait) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait).count();
  return "another program holds its lock (waited " +
         (seconds > 0 ? std::to_string(seconds) + " s" : std::to_string(wait.count()) + " ms") +
         ")";
}

} // namespace

// One file's hold, shared by every Hold taken on it within the outermost.
struct ProfileLocks::Entry {
  Entry(std::shared_ptr<ProfileFileSystem> fileSystem, ProfileFileSystem::Path file,
        LockMode wanted, milliseconds waitFor)
      : fs(std::move(fileSystem)), path(std::move(file)), want(wanted), wait(waitFor),
        mode(wanted) {}
  ~Entry() { Release(true); }
  Entry(const Entry&) = delete;
  Entry& operator=(const Entry&) = delete;

  void Take();
  // Unlocks and closes the file, first removing it when the hold created it
  // and nothing was written into it (removeUnused).
  void Release(bool removeUnused) noexcept;
  Waited WaitFor(ProfileFileSystem::File& file, LockMode mode, SteadyClock::time_point deadline);

  std::shared_ptr<ProfileFileSystem> fs;
  ProfileFileSystem::Path path;
  LockMode want;
  milliseconds wait;

  std::unique_ptr<ProfileFileSystem::File> file;
  LockMode mode;       // as held
  bool locked = false; // false: the file system has no locks
  bool created = false;
  bool granted = true;
  std::string problem;      // why not granted, or why there is no file
  std::string writeProblem; // why an exclusive lock was not possible (held Shared instead)
};

Waited ProfileLocks::Entry::WaitFor(ProfileFileSystem::File& opened, LockMode lockMode,
                                    SteadyClock::time_point deadline) {
  milliseconds pause = kFirstPause;
  for (;;) {
    switch (fs->TryLock(opened, lockMode)) {
    case ProfileFileSystem::LockResult::Locked:
      return Waited::Locked;
    case ProfileFileSystem::LockResult::Unsupported:
      return Waited::Unlocked;
    case ProfileFileSystem::LockResult::Busy:
      break;
    }
    const auto now = SteadyClock::now();
    if (now >= deadline)
      return Waited::TimedOut;
    std::this_thread::sleep_for(std::min<SteadyClock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, kLongestPause);
  }
}

void ProfileLocks::Entry::Take() {
  mode = want;
  granted = true;
  problem.clear();
  writeProblem.clear();
  const auto deadline = SteadyClock::now() + wait;
  // Started again whenever another writer replaced or removed the file
  // between its opening and its locking, until the time is up.
  for (bool first = true; first || SteadyClock::now() < deadline; first = false) {
    std::unique_ptr<ProfileFileSystem::File> opened;
    bool made = false;
    try {
      opened = fs->Open(path, want);
      if (!opened && fs->BeingReplaced(path)) {
        // Missing only for the instant of another writer's replacement.
        std::this_thread::sleep_for(kFirstPause);
        continue;
      }
      if (!opened && want == LockMode::Exclusive) {
        // Nothing to lock: a new, empty file is, and reads as missing.
        opened = fs->CreateNew(path);
        if (!opened)
          continue; // another writer created it meanwhile: lock that one
        made = true;
      }
    } catch (const FileError& error) {
      // No file to hold: the reads and writes fail by themselves.
      problem = error.what();
      return;
    }
    if (!opened)
      return; // a reader of a missing file
    LockMode got = want;
    Waited waited = Waited::TimedOut;
    try {
      try {
        waited = WaitFor(*opened, want, deadline);
      } catch (const FileError& error) {
        // A file that may not be written: held for reading, so that its
        // reads are still whole; a write in the hold fails with the reason.
        if (want != LockMode::Exclusive || error.kind() != FileError::Kind::AccessDenied)
          throw;
        writeProblem = error.what();
        got = LockMode::Shared;
        waited = WaitFor(*opened, got, deadline);
      }
    } catch (const FileError& error) {
      granted = false;
      problem = std::string("cannot lock it: ") + error.what();
      return;
    }
    if (waited == Waited::TimedOut) {
      granted = false;
      problem = WaitText(wait);
      return;
    }
    bool named = false;
    try {
      named = fs->StillNamed(*opened);
      if (!named && waited == Waited::Locked)
        fs->Unlock(*opened);
    } catch (const FileError&) {
      // Checked again with the next attempt.
    }
    if (!named)
      continue; // replaced or removed while this one waited: open it again
    file = std::move(opened);
    mode = got;
    locked = waited == Waited::Locked;
    created = made;
    return;
  }
  granted = false;
  problem = WaitText(wait);
}

void ProfileLocks::Entry::Release(bool removeUnused) noexcept {
  if (!file)
    return;
  try {
    if (removeUnused && created && fs->Inspect(*file).size == 0 && fs->StillNamed(*file))
      fs->Remove(*file);
  } catch (...) {
    // An empty file stays: it reads as a missing one.
  }
  try {
    if (locked)
      fs->Unlock(*file);
  } catch (...) {
    // Closing the file drops the lock too.
  }
  file.reset();
  locked = false;
  created = false;
}

ProfileLocks::Hold::Hold(std::shared_ptr<Entry> entry, std::string refusal)
    : entry_(std::move(entry)), refusal_(std::move(refusal)) {}

ProfileLocks::Hold::~Hold() = default;

bool ProfileLocks::Hold::Granted() const { return refusal_.empty() && entry_->granted; }

std::string ProfileLocks::Hold::Problem() const {
  return refusal_.empty() ? entry_->problem : refusal_;
}

ProfileFileSystem::File* ProfileLocks::Hold::File() const { return entry_->file.get(); }

bool ProfileLocks::Hold::CreatedFile() const { return entry_->created; }

bool ProfileLocks::Hold::Locked() const { return entry_->locked; }

void ProfileLocks::Hold::Renew() {
  entry_->Release(false);
  entry_->Take();
}

ProfileLocks::ProfileLocks(std::shared_ptr<ProfileFileSystem> fileSystem, milliseconds wait)
    : fs_(std::move(fileSystem)), wait_(wait) {}

ProfileLocks::~ProfileLocks() = default;

std::unique_ptr<ProfileLocks::Hold> ProfileLocks::Acquire(const ProfileFileSystem::Path& path,
                                                          LockMode mode) {
  std::shared_ptr<Entry> entry;
  if (const auto it = held_.find(path.native()); it != held_.end())
    entry = it->second.lock();
  if (!entry) {
    std::erase_if(held_, [](const auto& item) { return item.second.expired(); });
    entry = std::make_shared<Entry>(fs_, path, mode, wait_);
    entry->Take();
    held_[path.native()] = entry;
  }
  std::string refusal;
  if (mode == LockMode::Exclusive && entry->mode == LockMode::Shared)
    refusal = entry->writeProblem.empty() ? "it is locked for reading only" : entry->writeProblem;
  return std::make_unique<Hold>(std::move(entry), std::move(refusal));
}

} // namespace vantelo
