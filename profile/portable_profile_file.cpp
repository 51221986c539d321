#include "profile/portable_profile_file.h"

#include "platform/utf8_path.h"
#include "profile/profile_text.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vantelo {

namespace {

using File = ProfileFileSystem::File;

// A replacement that cannot be made leaves the write in place to try: the
// folder or the file's place refuses it (a read-only or sticky folder, a
// file another program has open, a file bound onto its place by a mount, a
// file system without hard links), or there is no room for a second copy of
// the file (the write in place then needs room only for what it adds).
bool WriteInPlaceInstead(const FileError& error) {
  switch (error.kind()) {
  case FileError::Kind::AccessDenied:
  case FileError::Kind::Busy:
  case FileError::Kind::CrossDevice:
  case FileError::Kind::NotSupported:
  case FileError::Kind::NoSpace:
    return true;
  case FileError::Kind::Other:
  case FileError::Kind::Missing:
    break;
  }
  return false;
}

} // namespace

PortableProfileFile::PortableProfileFile(std::shared_ptr<AnsiCodePage> pathCodePage,
                                         std::shared_ptr<ProfileFileSystem> fileSystem,
                                         std::chrono::milliseconds lockWait)
    : codePage_(std::move(pathCodePage)), fs_(std::move(fileSystem)), locks_(fs_, lockWait) {}

PortableProfileFile::Path PortableProfileFile::PathOf(const std::string& file) const {
  std::string path = codePage_->ToUtf8(std::string(profile_text::CallerText(file)));
  std::replace(path.begin(), path.end(), '\\', '/');
  return PathFromUtf8(path).make_preferred();
}

std::unique_ptr<ProfileFile::Hold> PortableProfileFile::Lock(const std::string& file,
                                                             LockMode mode) {
  return locks_.Acquire(PathOf(file), mode);
}

std::size_t PortableProfileFile::GetString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue, std::span<char> buffer,
                                           const std::string& file) {
  try {
    const Path path = PathOf(file);
    const auto hold = locks_.Acquire(path, LockMode::Shared);
    File* opened = hold->File();
    std::unique_ptr<File> unlocked;
    if (!hold->Granted()) { // kept by another program: read unlocked
      unlocked = fs_->Open(path, LockMode::Shared);
      opened = unlocked.get();
    }
    if (opened)
      return ProfileDocument(fs_->Read(*opened)).GetString(section, key, defaultValue, buffer);
  } catch (...) {
    // A file that cannot be read, or out of memory: read as missing.
  }
  return ProfileDocument("").GetString(section, key, defaultValue, buffer);
}

bool PortableProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
  try {
    return Update(PathOf(file),
                  [&](ProfileDocument& document) { return document.Store(section, key, value); });
  } catch (...) {
    return false; // out of memory before the write began
  }
}

void PortableProfileFile::Begin(const char* step, const Path& file) {
  problem_.clear();
  name_ = Utf8FromPath(Path(file).make_preferred());
  step_ = std::string(step) + " " + name_;
}

PortableProfileFile::ReadResult PortableProfileFile::Read(const Path& file, std::string& bytes) {
  bytes.clear();
  Begin("cannot read", file);
  try {
    const auto hold = locks_.Acquire(file, LockMode::Shared);
    if (!hold->Granted() || !hold->File()) {
      if (hold->Granted() && hold->Problem().empty())
        return ReadResult::Missing;
      Fail(step_ + ": " + hold->Problem());
      return ReadResult::Failed;
    }
    bytes = fs_->Read(*hold->File());
    return ReadResult::Ok;
  } catch (const FileError& error) {
    Fail(step_ + ": " + error.what());
  } catch (const std::bad_alloc&) {
    Fail(step_ + ": out of memory");
  }
  bytes.clear();
  return ReadResult::Failed;
}

bool PortableProfileFile::Update(const Path& file, const Edit& edit) {
  Begin("cannot write", file);
  try {
    const auto hold = locks_.Acquire(file, LockMode::Exclusive);
    return Change(*hold, edit);
  } catch (const FileError& error) {
    return Fail(step_ + ": " + error.what());
  } catch (const std::bad_alloc&) {
    return Fail(step_ + ": out of memory");
  } catch (const std::exception& error) {
    return Fail(step_ + ": " + error.what());
  }
}

PortableProfileFile::Created PortableProfileFile::Create(const Path& file,
                                                         const std::string& contents) {
  Begin("cannot create", file);
  try {
    const auto hold = locks_.Acquire(file, LockMode::Exclusive);
    if (!hold->Granted() || !hold->File()) {
      Fail(step_ + ": " + hold->Problem());
      return Created::Failed;
    }
    // A file that was there before the lock, also an empty one, stays.
    if (!hold->CreatedFile())
      return Created::AlreadyThere;
    return Rewrite(*hold, fs_->Inspect(*hold->File()), "", contents) ? Created::Yes
                                                                     : Created::Failed;
  } catch (const FileError& error) {
    Fail(step_ + ": " + error.what());
  } catch (const std::bad_alloc&) {
    Fail(step_ + ": out of memory");
  }
  return Created::Failed;
}

bool PortableProfileFile::Change(ProfileLocks::Hold& hold, const Edit& edit) {
  const std::string& name = name_;
  if (!hold.Granted())
    return Fail(step_ + ": " + hold.Problem());
  File* locked = hold.File();
  if (!locked) // it could neither be opened nor created
    return Fail(step_ + ": " + hold.Problem());
  const ProfileFileSystem::Facts facts = fs_->Inspect(*locked);
  if (facts.readOnly)
    return Fail(name + " is read-only");
  step_ = "cannot read " + name;
  const std::string old = fs_->Read(*locked);
  ProfileDocument document(old);
  if (!edit(document))
    return Fail(document.IsDamaged()
                    ? name + " is UTF-16 text with an odd number of bytes, which is left as it is"
                    : "the change cannot be made to " + name);
  const std::string updated = document.Bytes();
  if (updated == old)
    return true;
  return Rewrite(hold, facts, old, updated);
}

bool PortableProfileFile::Rewrite(ProfileLocks::Hold& hold, const ProfileFileSystem::Facts& facts,
                                  const std::string& old, const std::string& updated) {
  File& file = *hold.File();
  const std::string& name = name_;
  // Only under a lock actually held: without one, a temporary file that
  // looks stale may be another writer's, between its naming and its rename.
  if (hold.Locked())
    fs_->RemoveStaleTemps(file);
  if (facts.links == 1) {
    std::unique_ptr<File> temp;
    try {
      step_ = "cannot create a temporary file beside " + name;
      temp = fs_->CreateTemp(file);
      if (fs_->CopyIdentity(file, *temp)) {
        step_ = "cannot write the new contents of " + name;
        WriteAll(*temp, updated, 0);
        fs_->Flush(*temp);
        step_ = "cannot replace " + name;
        fs_->Replace(file, *temp);
        hold.Renew(); // the lock, on the file now at the path, for the calls within the hold
        return true;
      }
    } catch (const FileError& error) {
      if (!WriteInPlaceInstead(error))
        throw;
    }
    temp.reset(); // gone before the write in place, with the disk space it took
  }
  step_ = "cannot write " + name;
  return WriteInPlace(file, old, updated);
}

bool PortableProfileFile::WriteInPlace(File& file, const std::string& old,
                                       const std::string& updated) {
  const std::string& name = name_;
  const std::size_t from = static_cast<std::size_t>(
      std::mismatch(old.begin(), old.end(), updated.begin(), updated.end()).first - old.begin());
  try {
    if (updated.size() > old.size()) {
      step_ = "no room for the new contents of " + name;
      fs_->Reserve(file, updated.size());
    }
    step_ = "cannot write " + name;
    WriteAll(file, updated, from);
    if (updated.size() < old.size()) {
      step_ = "cannot shorten " + name;
      fs_->Truncate(file, updated.size());
    }
    step_ = "cannot flush " + name + " to disk";
    fs_->Flush(file);
    return true;
  } catch (...) {
    // Put the old bytes back as far as possible; the first problem stays
    // the one reported.
    try {
      WriteAll(file, old, from);
      fs_->Truncate(file, old.size());
      fs_->Flush(file);
    } catch (...) {
      // Nothing more can be done here.
    }
    throw;
  }
}

void PortableProfileFile::WriteAll(File& file, const std::string& contents, std::size_t from) {
  for (std::size_t done = from; done < contents.size();) {
    const std::size_t n = fs_->WriteAt(file, done, std::string_view(contents).substr(done));
    if (n == 0) // no progress at all, which would loop for ever
      throw FileError(FileError::Kind::Other, "the file system took none of the bytes");
    done += std::min(n, contents.size() - done);
  }
}

bool PortableProfileFile::Fail(const std::string& what) {
  if (problem_.empty())
    problem_ = what;
  return false;
}

} // namespace vantelo
