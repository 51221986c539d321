// The file-system steps PortableProfileFile takes, as a small interface so
// tests can make each step fail. PosixProfileFileSystem is the real one.
#pragma once

#include <cstddef>
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

  // An open temporary file.
  struct TempFile {
    int handle = -1;
    std::string path;
  };

  virtual ~ProfileFileSystem() = default;

  // Reads the whole file in one go.
  virtual ReadResult ReadWholeFile(const std::string& path, std::string& contents) = 0;

  // The file that a write to path replaces: path itself, or the file a
  // symbolic link leads to. False when that cannot be found out.
  virtual bool ResolveTarget(const std::string& path, std::string& target) = 0;

  // Whether the existing file may be replaced: not when it is read-only (has
  // no write permission bit at all, like Windows' read-only attribute, which
  // holds even for root) or the process may not write it.
  virtual bool MayReplace(const std::string& path) = 0;

  // Creates a new, empty file in the directory of target, open for writing,
  // with the permissions (and, where allowed, the owner) of target when it
  // exists, else the default ones for a new file.
  virtual bool CreateTemp(const std::string& target, TempFile& temp) = 0;

  // Writes up to size bytes; returns the number written (possibly fewer), or
  // -1 on failure.
  virtual std::ptrdiff_t Write(int handle, const char* data, std::size_t size) = 0;

  // Forces the written bytes to the disk.
  virtual bool Flush(int handle) = 0;

  // Closes the file; false when that reports an error (the handle is gone).
  virtual bool Close(int handle) = 0;

  // Atomically replaces to with from.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;

  virtual bool Remove(const std::string& path) = 0;
};

// The real file system, through the POSIX calls.
class PosixProfileFileSystem : public ProfileFileSystem {
public:
  ReadResult ReadWholeFile(const std::string& path, std::string& contents) override;
  bool ResolveTarget(const std::string& path, std::string& target) override;
  bool MayReplace(const std::string& path) override;
  bool CreateTemp(const std::string& target, TempFile& temp) override;
  std::ptrdiff_t Write(int handle, const char* data, std::size_t size) override;
  bool Flush(int handle) override;
  bool Close(int handle) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
};

} // namespace vantelo
