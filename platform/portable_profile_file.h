// ProfileFile with the semantics of GetPrivateProfileStringA and
// WritePrivateProfileStringA, on any POSIX system, so settings files can move
// between Windows and Linux machines. The format rules and the decisions on
// cases Windows leaves unclear are described in platform/profile_text.h; a
// UTF-16 file is read and written as platform/profile_document.h says.
//
// Reading reads the whole file in one go, under a shared lock, and searches
// it in memory; nothing is cached between calls (an edit of the file shows at
// the next read).
//
// Writing is one read-modify-write under an exclusive advisory lock on the
// file (see ProfileFileSystem::OpenLocked), which every write and read here
// takes, so concurrent writers (other processes, other machines on a network
// file system with locking) never lose each other's changes. The new
// contents then reach the file in one of two ways, by one rule:
// - replaced through a rename when the file has a single name (one hard
//   link), its directory lets us create and rename files, and the new file
//   can be given the old one's owner, group, extended attributes (ACLs and
//   security labels among them) and mode. The new contents are written to
//   an unnamed temporary file in the same directory, flushed to disk, named
//   and renamed over the file: a crash leaves the old file whole and, except
//   in the moment between naming and renaming, no temporary file; one left
//   in that moment is removed by the next write of the file;
// - otherwise (hard links, a read-only or sticky directory, a file of
//   another owner or with attributes we may not set) rewritten in place,
//   under the same lock: the disk space is set aside first, only the bytes
//   from the first change on are written, and on a failure the old bytes
//   are put back. A crash in the middle of such a write can leave the file
//   torn; nothing else can.
// Any failure returns false and leaves the file as it was. Also:
// - a read-only file (no write permission bit) or a file the process may not
//   write is refused, also for root, like Windows' read-only attribute;
// - a write through a symbolic link writes the file it leads to (a dangling
//   link fails);
// - a write that changes nothing succeeds without touching the file.
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

#include "platform/profile_document.h"
#include "platform/profile_file_system.h"
#include "platform/services.h"

#include <functional>
#include <memory>
#include <string>

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

  // Reads the file (path in ANSI) as GetString does. Missing: no such file.
  ProfileFileSystem::ReadResult Read(const std::string& file, std::string& bytes);

  // Changes the text of the file (path in ANSI; the text of a missing file
  // is empty) in one read-modify-write under the file's exclusive lock, as
  // WriteString does. edit returns false when it cannot make its change; the
  // file is then left alone. The file is written only when its bytes change.
  using Edit = std::function<bool(ProfileDocument&)>;
  bool Update(const std::string& file, const Edit& edit);

  // Creates the file (path in ANSI) with the bytes, in one step that never
  // replaces a file: AlreadyThere, and nothing written, when the file exists.
  enum class Created { Yes, AlreadyThere, Failed };
  Created Create(const std::string& file, const std::string& contents);

  // Why the last Read or write failed, such as "cannot write the temporary
  // file: No space left on device"; empty after a success.
  const std::string& Problem() const { return problem_; }

private:
  Created CreateFile(const std::string& target, const std::string& contents);
  bool Rewrite(int handle, std::uint64_t links, const std::string& target, const std::string& old,
               const std::string& updated);
  bool WriteInPlace(int handle, const std::string& old, const std::string& updated);
  bool WriteAll(int handle, const std::string& contents, std::size_t from);
  bool Fail(const std::string& what);

  std::shared_ptr<ProfileFileSystem> fs_;
  std::string problem_;
};

} // namespace vantelo
