// The profile engine (the folder profile/), entered here.
//
// What it promises: a settings file reads and writes as the Windows profile
// functions (GetPrivateProfileStringA, WritePrivateProfileStringA) read and
// write it, on Windows, on Linux and in the browser alike (the cases Windows
// leaves unclear are decided in profile/profile_text.h); every read and
// write holds the settings file's lock, so that programs and add-ins sharing
// the file never see each other's half-done work; a failed write reports
// the failure and leaves the file as it was (only a crash in the middle of
// an in-place rewrite, below, can tear it). What it needs: the standard
// library, the platform's service interfaces (platform/services.h: the
// profile file it implements, the code page of its paths) and one file
// system (profile/profile_file_system.h: POSIX, Windows or the page's
// memory, picked by the build; the Windows one takes its UTF-16
// conversions and error texts from platform/windows/). The platform's
// services are built on it, never the other way round.
//
// PortableProfileFile: ProfileFile with the semantics of
// GetPrivateProfileStringA and WritePrivateProfileStringA, on any file
// system behind ProfileFileSystem, so settings files can move between
// Windows and Linux machines; and the whole-file reads and writes of the
// settings tools, on every system. The format rules are described in
// profile/profile_text.h; a UTF-16 file is read and written as
// profile/profile_document.h says.
//
// Every read and write holds the settings file's lock
// (profile/profile_lock.h): a read its shared lock, a read-modify-write the
// exclusive one from before the read until the new contents are in place. A
// hold the caller already has (Lock) is used, not taken again. Reading reads
// the whole file through the locked handle, in one go, and searches it in
// memory; nothing is cached between calls.
//
// The new contents reach the file in one of two ways, by one rule:
// - replaced when the file has a single name (one hard link), its folder
//   lets us create a file, and the new file can be given the old one's
//   identity (ProfileFileSystem::CopyIdentity): the contents go to a
//   temporary file in the same folder, flushed to disk, which then takes the
//   file's place in one step (a rename; ReplaceFileW on Windows), so a crash
//   leaves the old file whole. Temporary files a crash left are removed by
//   the next write of the file;
// - otherwise (hard links, a read-only or sticky folder, an identity we may
//   not give, a replacement the system refuses: a mount point, a file system
//   without hard links; no room for the temporary copy) rewritten in place,
//   under the same lock: the disk space is set aside first, only the bytes
//   from the first change on are written, and on a failure the old bytes
//   are put back. A crash in the middle of such a write can leave the file
//   torn; nothing else can.
// Any failure returns false and leaves the file as it was. Also:
// - a read-only file is refused, also for root, like Windows' read-only
//   attribute;
// - a write through a symbolic link writes the file it leads to (a dangling
//   link fails; on POSIX another user's link in a sticky folder such as /tmp
//   is not followed);
// - a write that changes nothing succeeds without touching the file.
//
// Paths: the profile functions' paths arrive in the ANSI code page and are
// turned back into Unicode through the code page given (the platform's), a
// backslash taken as a folder separator as on Windows (the add-in builds the
// path as folder "\" name ".ini"). A path without a folder is relative to
// the current folder (Windows would look in the Windows folder). Texts end
// at their first NUL, as the A-functions' char* arguments do. The tools'
// functions take std::filesystem::path and need no code page.
#pragma once

#include "platform/services.h"
#include "profile/profile_document.h"
#include "profile/profile_file_system.h"
#include "profile/profile_lock.h"

#include <functional>
#include <memory>
#include <string>

namespace vantelo {

class PortableProfileFile : public ProfileFile {
public:
  using Path = ProfileFileSystem::Path;

  // pathCodePage: the code page the profile functions' paths are in.
  explicit PortableProfileFile(
      std::shared_ptr<AnsiCodePage> pathCodePage,
      std::shared_ptr<ProfileFileSystem> fileSystem = MakeNativeProfileFileSystem(),
      std::chrono::milliseconds lockWait = kProfileLockWait);

  std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) override;
  // The default's trailing spaces are dropped, as Windows documents. When
  // the lock cannot be had, the file is read unlocked.
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;

  // Reads the whole file under its shared lock.
  enum class ReadResult { Ok, Missing, Failed };
  ReadResult Read(const Path& file, std::string& bytes);

  // Changes the text of the file (the text of a missing file is empty) in
  // one read-modify-write under the file's exclusive lock, as WriteString
  // does. edit returns false when it cannot make its change; the file is
  // then left alone. The file is written only when its bytes change.
  using Edit = std::function<bool(ProfileDocument&)>;
  bool Update(const Path& file, const Edit& edit);

  // Creates the file with the bytes, unless it exists: AlreadyThere, and
  // nothing written, when it does (also when another program creates it
  // meanwhile). The file appears whole.
  enum class Created { Yes, AlreadyThere, Failed };
  Created Create(const Path& file, const std::string& contents);

  // Why the last Read or write failed, naming the file, such as "cannot
  // write the new contents of /x/s.ini: No space left on device"; empty
  // after a success.
  const std::string& Problem() const { return problem_; }

private:
  Path PathOf(const std::string& file) const;
  bool Change(ProfileLocks::Hold& hold, const Edit& edit);
  bool Rewrite(ProfileLocks::Hold& hold, const ProfileFileSystem::Facts& facts,
               const std::string& old, const std::string& updated);
  bool WriteInPlace(ProfileFileSystem::File& file, const std::string& old,
                    const std::string& updated);
  void WriteAll(ProfileFileSystem::File& file, const std::string& contents, std::size_t from);
  // Starts a whole-file operation on file: no problem yet, step the first.
  void Begin(const char* step, const Path& file);
  // Records the first problem of an operation; returns false.
  bool Fail(const std::string& what);

  std::shared_ptr<AnsiCodePage> codePage_;
  std::shared_ptr<ProfileFileSystem> fs_;
  ProfileLocks locks_;
  std::string problem_;
  std::string name_; // the file of the operation under way, for messages
  std::string step_; // what is being done, for the problem text of a failed step
};

} // namespace vantelo
