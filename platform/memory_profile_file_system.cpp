#include "platform/memory_profile_file_system.h"

#include <algorithm>
#include <cerrno>

namespace vantelo {

namespace {

bool Failed(int error) {
  errno = error;
  return false;
}

} // namespace

void MemoryProfileFileSystem::PutFile(const std::string& path, std::string contents) {
  auto node = std::make_shared<Node>();
  node->contents = std::move(contents);
  names_[path] = std::move(node);
}

std::optional<std::string> MemoryProfileFileSystem::File(const std::string& path) const {
  const auto it = names_.find(path);
  if (it == names_.end())
    return std::nullopt;
  return it->second->contents;
}

void MemoryProfileFileSystem::RemoveFile(const std::string& path) { names_.erase(path); }

MemoryProfileFileSystem::Handle* MemoryProfileFileSystem::Find(int handle) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) {
    errno = EBADF;
    return nullptr;
  }
  return &it->second;
}

std::size_t MemoryProfileFileSystem::Links(const std::shared_ptr<Node>& node) const {
  return static_cast<std::size_t>(std::count_if(
      names_.begin(), names_.end(), [&](const auto& name) { return name.second == node; }));
}

ProfileFileSystem::ReadResult MemoryProfileFileSystem::ReadWholeFile(const std::string& path,
                                                                     std::string& contents) {
  const auto it = names_.find(path);
  if (it == names_.end()) {
    errno = ENOENT;
    return ReadResult::Missing;
  }
  contents = it->second->contents;
  return ReadResult::Ok;
}

bool MemoryProfileFileSystem::ResolveTarget(const std::string& path, std::string& target) {
  target = path; // there are no symbolic links
  return true;
}

ProfileFileSystem::ReadResult MemoryProfileFileSystem::OpenLocked(const std::string& path,
                                                                  int& handle) {
  const auto it = names_.find(path);
  if (it == names_.end()) {
    errno = ENOENT;
    return ReadResult::Missing;
  }
  if (it->second->locked) {
    errno = EWOULDBLOCK;
    return ReadResult::Failed;
  }
  it->second->locked = true;
  handle = nextHandle_++;
  handles_[handle] = Handle{it->second, 0, true};
  return ReadResult::Ok;
}

bool MemoryProfileFileSystem::Inspect(int handle, FileFacts& facts) {
  const Handle* open = Find(handle);
  if (!open)
    return false;
  facts.regular = true;
  facts.writeBits = true;
  facts.links = Links(open->node);
  return true;
}

ProfileFileSystem::ReadResult MemoryProfileFileSystem::ReadOpen(int handle, std::string& contents) {
  const Handle* open = Find(handle);
  if (!open)
    return ReadResult::Failed;
  contents = open->node->contents;
  return ReadResult::Ok;
}

bool MemoryProfileFileSystem::CreateTemp(const std::string&, TempFile& temp) {
  temp.handle = nextHandle_++;
  temp.path.clear(); // unnamed until NameTemp
  handles_[temp.handle] = Handle{std::make_shared<Node>(), 0, false};
  return true;
}

bool MemoryProfileFileSystem::CopyIdentity(int from, const TempFile& temp) {
  // Files here have no owner, mode or attributes to carry over.
  return Find(from) && Find(temp.handle);
}

bool MemoryProfileFileSystem::NameTemp(const std::string& target, TempFile& temp) {
  const Handle* open = Find(temp.handle);
  if (!open)
    return false;
  if (!temp.path.empty())
    return true;
  std::string name;
  do
    name = target + ".vantelo-" + std::to_string(nextTemp_++) + ".tmp";
  while (names_.count(name));
  names_[name] = open->node;
  temp.path = name;
  return true;
}

std::ptrdiff_t MemoryProfileFileSystem::Write(int handle, const char* data, std::size_t size) {
  Handle* open = Find(handle);
  if (!open)
    return -1;
  std::string& contents = open->node->contents;
  if (contents.size() < open->position)
    contents.resize(open->position, '\0');
  contents.replace(open->position, std::min(size, contents.size() - open->position), data, size);
  open->position += size;
  return static_cast<std::ptrdiff_t>(size);
}

bool MemoryProfileFileSystem::Seek(int handle, std::uint64_t offset) {
  Handle* open = Find(handle);
  if (!open)
    return false;
  open->position = static_cast<std::size_t>(offset);
  return true;
}

bool MemoryProfileFileSystem::Reserve(int handle, std::uint64_t) { return Find(handle) != nullptr; }

bool MemoryProfileFileSystem::Truncate(int handle, std::uint64_t size) {
  Handle* open = Find(handle);
  if (!open)
    return false;
  open->node->contents.resize(static_cast<std::size_t>(size), '\0');
  return true;
}

bool MemoryProfileFileSystem::Flush(int handle) { return Find(handle) != nullptr; }

bool MemoryProfileFileSystem::Close(int handle) {
  Handle* open = Find(handle);
  if (!open)
    return false;
  if (open->locks)
    open->node->locked = false;
  handles_.erase(handle);
  return true;
}

bool MemoryProfileFileSystem::Rename(const std::string& from, const std::string& to) {
  const auto it = names_.find(from);
  if (it == names_.end())
    return Failed(ENOENT);
  std::shared_ptr<Node> node = it->second;
  names_.erase(it);
  names_[to] = std::move(node);
  return true;
}

bool MemoryProfileFileSystem::Link(const std::string& from, const std::string& to) {
  const auto it = names_.find(from);
  if (it == names_.end())
    return Failed(ENOENT);
  if (names_.count(to))
    return Failed(EEXIST);
  names_[to] = it->second;
  return true;
}

bool MemoryProfileFileSystem::Remove(const std::string& path) {
  if (names_.erase(path) == 0)
    return Failed(ENOENT);
  return true;
}

void MemoryProfileFileSystem::RemoveStaleTemps(const std::string&) {
  // Every write here runs to its end, so none is ever left behind.
}

} // namespace vantelo
