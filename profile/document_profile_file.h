// ProfileFile on a settings file's text held in memory, for tools that run
// the add-in's own reading and writing of many settings against one read of
// the file: they read (and change) the file once instead of once per setting.
// Reads and writes of any other file than the one given fail as for a file
// that cannot be reached.
#pragma once

#include "platform/services.h"
#include "profile/profile_document.h"

#include <string>

namespace vantelo {

class DocumentProfileFile : public ProfileFile {
public:
  // file: the path as the add-in passes it (ANSI). writable: whether writes
  // change the document; else they fail, as for a read-only file.
  DocumentProfileFile(ProfileDocument& document, std::string file, bool writable);

  // The text is in memory: whoever read it holds the file's lock, if any.
  std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) override;

  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;

  // Writes refused so far.
  std::size_t FailedWrites() const { return failedWrites_; }

private:
  ProfileDocument& document_;
  std::string file_;
  bool writable_;
  std::size_t failedWrites_ = 0;
};

} // namespace vantelo
