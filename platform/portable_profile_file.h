// ProfileFile with the semantics of GetPrivateProfileStringA and
// WritePrivateProfileStringA, on any POSIX system, so settings files can move
// between Windows and Linux machines. The format rules and the decisions on
// cases Windows leaves unclear are described in platform/profile_text.h.
//
// Reading reads the whole file in one go and searches it in memory; nothing
// is cached between calls (an edit of the file shows at the next read).
//
// Writing never leaves a half-written file: the new contents go to a
// temporary file in the same directory, which is flushed to disk and then
// renamed over the original (which keeps its permissions where possible).
// Any failure returns false, removes the temporary file and leaves the
// original untouched. Consequences worth knowing:
// - a write fails (false) when the directory cannot be written, even if the
//   file itself could (Windows would write that file in place);
// - a read-only file (no write permission bit) or a file the process may not
//   write is refused, also for root, like Windows' read-only attribute;
// - a write through a symbolic link replaces the file it leads to (a dangling
//   link fails); a hard-linked file gets a new inode, the other links keep
//   the old contents;
// - a write that changes nothing succeeds without touching the file;
// - two processes writing at the same moment do not corrupt the file, but one
//   of the two changes may be lost (the last rename wins).
//
// Paths: the path arrives in the ANSI code page, like every text of the
// A-functions, and is turned into UTF-8 for the file system (a character the
// code page cannot hold has already become '?' by then, as on Windows).
// A backslash in the file path is taken as a directory separator, as
// Windows does, because the add-in builds the path as directory "\" name
// ".ini". A path without a directory is relative to the current directory
// (Windows would look in the Windows directory). Texts end at their first
// NUL byte, as the A-functions' char* arguments do.
#pragma once

#include "platform/profile_file_system.h"
#include "platform/services.h"

#include <memory>

namespace vantelo {

class PortableProfileFile : public ProfileFile {
public:
  // Uses the real file system.
  PortableProfileFile();
  // Uses the given file system (tests inject failures through it).
  explicit PortableProfileFile(std::shared_ptr<ProfileFileSystem> fileSystem);

  // The default's trailing spaces are dropped, as Windows documents.
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;

private:
  bool ReplaceFile(const std::string& target, const std::string& contents);

  std::shared_ptr<ProfileFileSystem> fs_;
};

} // namespace vantelo
