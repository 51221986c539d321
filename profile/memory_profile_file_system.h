// The file-system steps of the profile engine on files held in memory: the
// settings page's file system, where the browser has none that the engine
// could use (Emscripten's own lacks hard links and an exclusive rename), so
// that the page reads and writes settings files with the same engine, step
// for step, as the program does on disk.
//
// Files are byte strings under their path names; a name leads to a file,
// and a file lives while a name or an open file holds it. Every directory
// exists and nothing is read-only. Locks follow the rules of the disk's
// (shared with shared, exclusive alone), but are never waited for: the page
// has one thread, so a lock that another open file holds could never be
// released, and taking it fails at once with a FileError instead. Nothing
// can die half-way, so no temporary file is ever left behind. For one
// thread.
#pragma once

#include "profile/profile_file_system.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace vantelo {

class MemoryProfileFileSystem : public ProfileFileSystem {
public:
  MemoryProfileFileSystem();

  // The whole file, as a program outside the engine puts it there or takes
  // it away (the page's open, download and reset).
  void PutFile(const std::string& path, std::string contents);
  std::optional<std::string> Contents(const std::string& path) const;
  void RemoveFile(const std::string& path);
  // A second name for the file at path, as a hard link gives one.
  void AddName(const std::string& path, const std::string& name);
  // Names in use, temporary ones included.
  std::size_t NameCount() const;

  std::unique_ptr<File> Open(const Path& path, LockMode mode) override;
  std::unique_ptr<File> CreateNew(const Path& path) override;
  LockResult TryLock(File& file, LockMode mode) override;
  void Unlock(File& file) override;
  bool StillNamed(File& file) override;
  void Remove(File& file) override;
  bool BeingReplaced(const Path& path) override;
  Facts Inspect(File& file) override;
  std::string Read(File& file) override;
  void Reserve(File& file, std::uint64_t size) override;
  std::size_t WriteAt(File& file, std::uint64_t offset, std::string_view data) override;
  void Truncate(File& file, std::uint64_t size) override;
  void Flush(File& file) override;
  std::unique_ptr<File> CreateTemp(File& target) override;
  bool CopyIdentity(File& target, File& temp) override;
  void Replace(File& target, File& temp) override;
  void RemoveStaleTemps(File& target) override;

  struct Node;
  struct Names;
  class MemoryFile;

private:
  // Shared with the open files, which remove their temporary names and
  // release their locks when they close.
  std::shared_ptr<Names> names_;
};

} // namespace vantelo
