// The file-system steps PortableProfileFile takes, as a small interface so
// tests can make each step fail. PosixProfileFileSystem is the real one.
//
// Every failing step leaves errno set to the reason, which the profile file
// reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vantelo {

class ProfileFileSystem {
public:
  enum class ReadResult {
    Ok,      // the contents were read
    Missing, // there is no such file (or a directory on the way is missing)
    Failed,  // it exists but cannot be read, or is not a regular file
  };

  // A temporary file in the directory of the file it will replace. Its path
  // is empty while the file has no name (an unnamed file vanishes by itself
  // when its writer dies).
  struct TempFile {
    int handle = -1;
    std::string path;
  };

  // What decides how an open settings file is written.
  struct FileFacts {
    bool regular = false;
    bool writeBits = false; // any write permission bit (none: read-only, also for root)
    std::uint64_t links = 0;
  };

  virtual ~ProfileFileSystem() = default;

  // Reads the whole file in one go, under a shared lock, so that a write in
  // progress is never seen half done.
  virtual ReadResult ReadWholeFile(const std::string& path, std::string& contents) = 0;

  // The file that a write to path changes: path itself, or the file a
  // symbolic link leads to. False when that cannot be found out.
  virtual bool ResolveTarget(const std::string& path, std::string& target) = 0;

  // Opens the existing file for reading and writing and holds an exclusive
  // lock on it until the handle is closed. Makes sure that path still names
  // the locked file (another writer may have replaced it meanwhile).
  // Missing: there is no such file.
  virtual ReadResult OpenLocked(const std::string& path, int& handle) = 0;

  virtual bool Inspect(int handle, FileFacts& facts) = 0;

  // Reads the whole open file from its start.
  virtual ReadResult ReadOpen(int handle, std::string& contents) = 0;

  // Creates a new, empty file in the directory of target, open for writing,
  // with the default permissions for a new file; without a name where the
  // file system allows it.
  virtual bool CreateTemp(const std::string& target, TempFile& temp) = 0;

  // Gives the temporary file the owner, group, extended attributes (ACLs
  // among them) and mode of the open file from. False when any of them
  // cannot be reproduced exactly.
  virtual bool CopyIdentity(int from, const TempFile& temp) = 0;

  // Gives an unnamed temporary file a name of its own in its directory;
  // nothing to do for a named one.
  virtual bool NameTemp(const std::string& target, TempFile& temp) = 0;

  // Writes up to size bytes at the current position; returns the number
  // written (possibly fewer), or -1 on failure.
  virtual std::ptrdiff_t Write(int handle, const char* data, std::size_t size) = 0;

  virtual bool Seek(int handle, std::uint64_t offset) = 0;

  // Sets aside the disk space for a file of size bytes without changing its
  // length, so that writing it cannot run out of space half-way. True when
  // the file system cannot do that (there is nothing to set aside then).
  virtual bool Reserve(int handle, std::uint64_t size) = 0;

  virtual bool Truncate(int handle, std::uint64_t size) = 0;

  // Forces the written bytes to the disk.
  virtual bool Flush(int handle) = 0;

  // Closes the file; false when that reports an error (the handle is gone).
  virtual bool Close(int handle) = 0;

  // Atomically replaces to with from.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;

  // Gives the file from the second name to, unless to exists (EEXIST).
  virtual bool Link(const std::string& from, const std::string& to) = 0;

  virtual bool Remove(const std::string& path) = 0;

  // Removes the named temporary files of target that earlier writes left
  // behind when their process died. Only called under the exclusive lock,
  // when no other write of target can be under way.
  virtual void RemoveStaleTemps(const std::string& target) = 0;
};

// The file system of the system the program runs on: PosixProfileFileSystem,
// or on Windows the one in platform/windows.
std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem();

// The real file system, through the POSIX calls (and Linux's unnamed
// temporary files and open file description locks where available).
class PosixProfileFileSystem : public ProfileFileSystem {
public:
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
};

} // namespace vantelo
