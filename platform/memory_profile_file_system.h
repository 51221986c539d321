// The file-system steps of the profile engine on files held in memory: the
// settings page's file system, where the browser has none that the engine
// could use (Emscripten's own lacks hard links and an exclusive rename), so
// that the page reads and writes settings files with the same engine, step
// for step, as the program does on disk.
//
// Files are byte strings under their full path names; a name is a link to a
// file, and a file lives while a name or an open handle holds it. Every
// directory exists. A lock is exclusive and is never waited for: a second
// lock of a locked file fails (EWOULDBLOCK), where a disk would block the one
// thread for ever. Nothing can die half-way, so no temporary file is ever
// left behind. For one thread.
#pragma once

#include "platform/profile_file_system.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace vantelo {

class MemoryProfileFileSystem : public ProfileFileSystem {
public:
  // The whole file, as a program outside the engine puts it there or takes
  // it away (the page's open, download and reset).
  void PutFile(const std::string& path, std::string contents);
  std::optional<std::string> File(const std::string& path) const;
  void RemoveFile(const std::string& path);
  // Names in use, temporary ones included.
  std::size_t NameCount() const { return names_.size(); }

  ReadResult ReadWholeFile(const std::string& path, std::string& contents) override;
  bool ResolveTarget(const std::string& path, std::string& target) override;
  ReadResult OpenLocked(const std::string& path, int& handle) override;
  bool Inspect(int handle, FileFacts& facts) override;
  ReadResult ReadOpen(int handle, std::string& contents) override;
  bool CreateTemp(const std::string& target, TempFile& temp) override;
  bool CopyIdentity(int from, const TempFile& temp) override;
  bool NameTemp(const std::string& target, TempFile& temp) override;
  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override;
  bool Seek(int handle, std::uint64_t offset) override;
  bool Reserve(int handle, std::uint64_t size) override;
  bool Truncate(int handle, std::uint64_t size) override;
  bool Flush(int handle) override;
  bool Close(int handle) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Link(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  void RemoveStaleTemps(const std::string& target) override;

private:
  struct Node {
    std::string contents;
    bool locked = false;
  };
  struct Handle {
    std::shared_ptr<Node> node;
    std::size_t position = 0;
    bool locks = false;
  };

  Handle* Find(int handle);
  std::size_t Links(const std::shared_ptr<Node>& node) const;

  std::map<std::string, std::shared_ptr<Node>> names_;
  std::map<int, Handle> handles_;
  int nextHandle_ = 3;
  unsigned nextTemp_ = 0;
};

} // namespace vantelo
