#include "platform/portable_profile_file.h"

#include "platform/profile_text.h"
#include "platform/windows1252_code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace vantelo {

namespace {

using ReadResult = ProfileFileSystem::ReadResult;

// How often a write starts again when the file is created or replaced by
// another writer between two of its steps.
constexpr int kAttempts = 100;

// The file path as the file system takes it: the ANSI text up to the first
// NUL, in UTF-8 as Linux paths are, with Windows' backslash separators as
// slashes.
std::string NativePath(const std::string& file) {
  std::string path = Windows1252CodePage().ToUtf8(std::string(profile_text::CallerText(file)));
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// The settings file, open and locked for one write; closing it drops the
// lock.
class LockedFile {
public:
  LockedFile(ProfileFileSystem& fs, int handle) : fs_(fs), handle_(handle) {}
  ~LockedFile() {
    try {
      fs_.Close(handle_);
    } catch (...) {
      // Nothing more can be done about it here.
    }
  }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

private:
  ProfileFileSystem& fs_;
  int handle_;
};

// The temporary file of one write. However the write ends (a failed step, or
// an exception from the file system), it is closed and, once named,
// removed, unless it became the settings file and is kept.
class TemporaryFile {
public:
  TemporaryFile(ProfileFileSystem& fs, ProfileFileSystem::TempFile file)
      : fs_(fs), file_(std::move(file)) {}
  ~TemporaryFile() {
    try {
      if (open_)
        fs_.Close(file_.handle);
      if (!kept_ && !file_.path.empty())
        fs_.Remove(file_.path);
    } catch (...) {
      // Nothing more can be done about it here.
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  ProfileFileSystem::TempFile& File() { return file_; }
  int Handle() const { return file_.handle; }
  const std::string& Path() const { return file_.path; }
  // Closes the file (the handle is gone whatever the result).
  bool Close() {
    open_ = false;
    return fs_.Close(file_.handle);
  }
  void Keep() { kept_ = true; }

private:
  ProfileFileSystem& fs_;
  ProfileFileSystem::TempFile file_;
  bool open_ = true;
  bool kept_ = false;
};

} // namespace

PortableProfileFile::PortableProfileFile()
    : PortableProfileFile(MakeNativeProfileFileSystem()) {}

PortableProfileFile::PortableProfileFile(std::shared_ptr<ProfileFileSystem> fileSystem)
    : fs_(std::move(fileSystem)) {}

ProfileFileSystem::ReadResult PortableProfileFile::Read(const std::string& file,
                                                        std::string& bytes) {
  problem_.clear();
  const std::string path = NativePath(file);
  const ReadResult result = fs_->ReadWholeFile(path, bytes);
  if (result == ReadResult::Failed)
    Fail("cannot read " + path);
  return result;
}

std::size_t PortableProfileFile::GetString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue, std::span<char> buffer,
                                           const std::string& file) {
  try {
    std::string bytes;
    if (Read(file, bytes) == ReadResult::Ok)
      return ProfileDocument(bytes).GetString(section, key, defaultValue, buffer);
  } catch (...) {
    // Out of memory and the like: read as missing.
  }
  return ProfileDocument("").GetString(section, key, defaultValue, buffer);
}

bool PortableProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
  return Update(file,
                [&](ProfileDocument& document) { return document.Store(section, key, value); });
}

bool PortableProfileFile::Update(const std::string& file, const Edit& edit) {
  problem_.clear();
  try {
    const std::string path = NativePath(file);
    std::string target;
    if (!fs_->ResolveTarget(path, target))
      return Fail("cannot follow the symbolic link " + path);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      int handle = -1;
      const ReadResult opened = fs_->OpenLocked(target, handle);
      if (opened == ReadResult::Failed)
        return Fail("cannot open " + target + " for writing");
      if (opened == ReadResult::Missing) {
        ProfileDocument document("");
        if (!edit(document))
          return Fail("the change cannot be made");
        const Created created = CreateFile(target, document.Bytes());
        if (created == Created::AlreadyThere)
          continue; // another writer created it meanwhile: change that one
        return created == Created::Yes;
      }
      LockedFile locked(*fs_, handle);
      ProfileFileSystem::FileFacts facts;
      if (!fs_->Inspect(handle, facts))
        return Fail("cannot inspect " + target);
      if (!facts.writeBits) {
        errno = EACCES;
        return Fail(target + " is read-only");
      }
      std::string old;
      if (fs_->ReadOpen(handle, old) != ReadResult::Ok)
        return Fail("cannot read " + target);
      ProfileDocument document(old);
      if (!edit(document)) {
        errno = 0;
        return Fail(document.IsDamaged() ? target + " is UTF-16 text with an odd number of "
                                                    "bytes, which is left as it is"
                                         : "the change cannot be made");
      }
      const std::string updated = document.Bytes();
      if (updated == old)
        return true;
      fs_->RemoveStaleTemps(target);
      return Rewrite(handle, facts.links, target, old, updated);
    }
    errno = EAGAIN;
    return Fail(target + " was replaced by other writers at every attempt");
  } catch (...) {
    errno = ENOMEM;
    return Fail("cannot write the settings file");
  }
}

PortableProfileFile::Created PortableProfileFile::Create(const std::string& file,
                                                         const std::string& contents) {
  problem_.clear();
  try {
    const std::string path = NativePath(file);
    std::string target;
    if (!fs_->ResolveTarget(path, target)) {
      Fail("cannot follow the symbolic link " + path);
      return Created::Failed;
    }
    return CreateFile(target, contents);
  } catch (...) {
    errno = ENOMEM;
    Fail("cannot write the settings file");
    return Created::Failed;
  }
}

PortableProfileFile::Created PortableProfileFile::CreateFile(const std::string& target,
                                                             const std::string& contents) {
  ProfileFileSystem::TempFile created;
  if (!fs_->CreateTemp(target, created)) {
    Fail("cannot create " + target);
    return Created::Failed;
  }
  TemporaryFile temp(*fs_, std::move(created));
  if (!WriteAll(temp.Handle(), contents, 0))
    return Created::Failed;
  if (!fs_->Flush(temp.Handle()) && !Fail("cannot flush " + target + " to disk"))
    return Created::Failed;
  if (!fs_->NameTemp(target, temp.File()) && !Fail("cannot name the new file " + target))
    return Created::Failed;
  if (!temp.Close() && !Fail("cannot close the new file " + target))
    return Created::Failed;
  // A link never replaces a file that another writer created meanwhile; the
  // temporary name goes with the temporary file.
  if (fs_->Link(temp.Path(), target))
    return Created::Yes;
  if (errno == EEXIST)
    return Created::AlreadyThere;
  if (errno == EPERM || errno == EOPNOTSUPP) { // a file system without hard links
    if (fs_->Rename(temp.Path(), target)) {
      temp.Keep();
      return Created::Yes;
    }
  }
  Fail("cannot create " + target);
  return Created::Failed;
}

bool PortableProfileFile::Rewrite(int handle, std::uint64_t links, const std::string& target,
                                  const std::string& old, const std::string& updated) {
  if (links == 1) {
    ProfileFileSystem::TempFile created;
    if (fs_->CreateTemp(target, created)) {
      TemporaryFile temp(*fs_, std::move(created));
      if (fs_->CopyIdentity(handle, temp.File())) {
        if (!WriteAll(temp.Handle(), updated, 0))
          return false;
        if (!fs_->Flush(temp.Handle()))
          return Fail("cannot flush the new contents of " + target + " to disk");
        if (!fs_->NameTemp(target, temp.File()))
          return Fail("cannot name the new contents of " + target);
        if (!temp.Close())
          return Fail("cannot close the new contents of " + target);
        if (fs_->Rename(temp.Path(), target)) {
          temp.Keep(); // it is the settings file now
          return true;
        }
        if (errno != EPERM && errno != EACCES)
          return Fail("cannot replace " + target);
        // A sticky directory keeps others' files from being replaced: in place.
      }
    } else if (errno != EACCES && errno != EPERM) {
      return Fail("cannot create a temporary file beside " + target);
    }
  }
  return WriteInPlace(handle, old, updated);
}

bool PortableProfileFile::WriteInPlace(int handle, const std::string& old,
                                       const std::string& updated) {
  const std::size_t from = static_cast<std::size_t>(
      std::mismatch(old.begin(), old.end(), updated.begin(), updated.end()).first - old.begin());
  if (updated.size() > old.size() && !fs_->Reserve(handle, updated.size()))
    return Fail("no room for the new contents");
  if (WriteAll(handle, updated, from) &&
      (updated.size() >= old.size() || fs_->Truncate(handle, updated.size()) ||
       Fail("cannot shorten the file")) &&
      (fs_->Flush(handle) || Fail("cannot flush the file to disk")))
    return true;
  // Put the old bytes back as far as possible; the first problem stays the
  // one reported.
  WriteAll(handle, old, from);
  fs_->Truncate(handle, old.size());
  fs_->Flush(handle);
  return false;
}

bool PortableProfileFile::WriteAll(int handle, const std::string& contents, std::size_t from) {
  if (!fs_->Seek(handle, from))
    return Fail("cannot write");
  for (std::size_t done = from; done < contents.size();) {
    const std::ptrdiff_t n = fs_->Write(handle, contents.data() + done, contents.size() - done);
    if (n == 0) // no progress at all, which would loop for ever
      errno = EIO;
    if (n <= 0)
      return Fail("cannot write");
    done += std::min(static_cast<std::size_t>(n), contents.size() - done);
  }
  return true;
}

bool PortableProfileFile::Fail(const std::string& what) {
  if (!problem_.empty())
    return false; // keep the first problem
  const int error = errno;
  problem_ = error == 0 ? what : what + ": " + std::strerror(error);
  return false;
}

} // namespace vantelo
