#include "profile/memory_profile_file_system.h"

#include <algorithm>

namespace vantelo {

struct MemoryProfileFileSystem::Node {
  std::string contents;
  int sharedLocks = 0;
  bool exclusiveLock = false;
};

struct MemoryProfileFileSystem::Names {
  std::map<Path, std::shared_ptr<Node>> files;

  std::shared_ptr<Node> Find(const Path& path) const {
    const auto it = files.find(path);
    return it == files.end() ? nullptr : it->second;
  }
};

class MemoryProfileFileSystem::MemoryFile : public File {
public:
  MemoryFile(std::shared_ptr<Names> names, Path path, std::shared_ptr<Node> node, bool temporary)
      : names_(std::move(names)), path_(std::move(path)), node_(std::move(node)),
        temporary_(temporary) {}

  ~MemoryFile() override {
    Unlock();
    if (temporary_ && names_->Find(path_) == node_)
      names_->files.erase(path_);
  }

  void Lock(LockMode mode) {
    const bool free = mode == LockMode::Shared ? !node_->exclusiveLock
                                               : !node_->exclusiveLock && node_->sharedLocks == 0;
    if (!free)
      throw FileError(FileError::Kind::Busy,
                      Utf8Name() + " is locked by another reader or writer in this page");
    Unlock();
    if (mode == LockMode::Shared)
      ++node_->sharedLocks;
    else
      node_->exclusiveLock = true;
    locked_ = mode;
  }

  void Unlock() {
    if (!locked_)
      return;
    if (*locked_ == LockMode::Shared)
      --node_->sharedLocks;
    else
      node_->exclusiveLock = false;
    locked_.reset();
  }

  std::string Utf8Name() const {
    const std::u8string name = path_.u8string();
    return std::string(name.begin(), name.end());
  }

  std::shared_ptr<Names> names_;
  Path path_;
  std::shared_ptr<Node> node_;
  bool temporary_; // removed on closing, unless it took another file's place
  std::optional<LockMode> locked_;
};

namespace {

MemoryProfileFileSystem::MemoryFile& Opened(ProfileFileSystem::File& file) {
  return static_cast<MemoryProfileFileSystem::MemoryFile&>(file);
}

} // namespace

MemoryProfileFileSystem::MemoryProfileFileSystem() : names_(std::make_shared<Names>()) {}

void MemoryProfileFileSystem::PutFile(const std::string& path, std::string contents) {
  auto node = std::make_shared<Node>();
  node->contents = std::move(contents);
  names_->files[Path(path)] = std::move(node);
}

std::optional<std::string> MemoryProfileFileSystem::Contents(const std::string& path) const {
  const auto node = names_->Find(Path(path));
  if (!node)
    return std::nullopt;
  return node->contents;
}

void MemoryProfileFileSystem::RemoveFile(const std::string& path) {
  names_->files.erase(Path(path));
}

void MemoryProfileFileSystem::AddName(const std::string& path, const std::string& name) {
  if (auto node = names_->Find(Path(path)))
    names_->files[Path(name)] = std::move(node);
}

std::size_t MemoryProfileFileSystem::NameCount() const { return names_->files.size(); }

std::unique_ptr<ProfileFileSystem::File> MemoryProfileFileSystem::Open(const Path& path, LockMode) {
  auto node = names_->Find(path);
  if (!node)
    return nullptr;
  return std::make_unique<MemoryFile>(names_, path, std::move(node), false);
}

std::unique_ptr<ProfileFileSystem::File> MemoryProfileFileSystem::CreateNew(const Path& path) {
  if (names_->Find(path))
    return nullptr;
  auto node = std::make_shared<Node>();
  names_->files[path] = node;
  return std::make_unique<MemoryFile>(names_, path, std::move(node), false);
}

ProfileFileSystem::LockResult MemoryProfileFileSystem::TryLock(File& file, LockMode mode) {
  Opened(file).Lock(mode);
  return LockResult::Locked;
}

void MemoryProfileFileSystem::Unlock(File& file) { Opened(file).Unlock(); }

bool MemoryProfileFileSystem::StillNamed(File& file) {
  return names_->Find(Opened(file).path_) == Opened(file).node_;
}

void MemoryProfileFileSystem::Remove(File& file) {
  if (StillNamed(file))
    names_->files.erase(Opened(file).path_);
}

bool MemoryProfileFileSystem::BeingReplaced(const Path&) {
  return false; // a replacement here is one step
}

ProfileFileSystem::Facts MemoryProfileFileSystem::Inspect(File& file) {
  const auto& node = Opened(file).node_;
  Facts facts;
  facts.links = static_cast<std::uint64_t>(
      std::count_if(names_->files.begin(), names_->files.end(),
                    [&](const auto& name) { return name.second == node; }));
  facts.size = node->contents.size();
  return facts;
}

std::string MemoryProfileFileSystem::Read(File& file) { return Opened(file).node_->contents; }

void MemoryProfileFileSystem::Reserve(File&, std::uint64_t) {
  // Memory runs out as a bad_alloc, never half-way through a write.
}

std::size_t MemoryProfileFileSystem::WriteAt(File& file, std::uint64_t offset,
                                             std::string_view data) {
  std::string& contents = Opened(file).node_->contents;
  const auto at = static_cast<std::size_t>(offset);
  if (contents.size() < at + data.size())
    contents.resize(at + data.size(), '\0');
  std::copy(data.begin(), data.end(), contents.begin() + static_cast<std::ptrdiff_t>(at));
  return data.size();
}

void MemoryProfileFileSystem::Truncate(File& file, std::uint64_t size) {
  Opened(file).node_->contents.resize(static_cast<std::size_t>(size), '\0');
}

void MemoryProfileFileSystem::Flush(File&) {}

std::unique_ptr<ProfileFileSystem::File> MemoryProfileFileSystem::CreateTemp(File& target) {
  Path name;
  do
    name = TemporaryFileName(Opened(target).path_);
  while (names_->Find(name));
  auto node = std::make_shared<Node>();
  names_->files[name] = node;
  return std::make_unique<MemoryFile>(names_, name, std::move(node), true);
}

bool MemoryProfileFileSystem::CopyIdentity(File&, File&) {
  return true; // files here have no owner, mode or attributes to carry over
}

void MemoryProfileFileSystem::Replace(File& target, File& temp) {
  MemoryFile& placed = Opened(temp);
  names_->files.erase(placed.path_);
  names_->files[Opened(target).path_] = placed.node_;
  placed.path_ = Opened(target).path_;
  placed.temporary_ = false;
}

void MemoryProfileFileSystem::RemoveStaleTemps(File&) {
  // Every write here runs to its end, so none is ever left behind.
}

} // namespace vantelo
