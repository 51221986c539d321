#include "platform/portable_profile_file.h"

#include "platform/profile_text.h"
#include "platform/windows1252_code_page.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace vantelo {

namespace {

// The file path as the file system takes it: the ANSI text up to the first
// NUL, in UTF-8 as Linux paths are, with Windows' backslash separators as
// slashes.
std::string NativePath(const std::string& file) {
  std::string path = Windows1252CodePage().ToUtf8(std::string(profile_text::CallerText(file)));
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Copies at most buffer.size() - 1 bytes and a terminating 0; returns the
// number of bytes copied without the terminator.
std::size_t CopyOut(std::string_view text, std::span<char> buffer) {
  if (buffer.empty())
    return 0;
  std::size_t n = std::min(text.size(), buffer.size() - 1);
  if (n > 0)
    std::memcpy(buffer.data(), text.data(), n);
  buffer[n] = '\0';
  return n;
}

// The temporary file of one write. However the write ends (a failed step, or
// an exception from the file system), it is closed and removed, unless it
// was renamed over the target and is kept.
class TemporaryFile {
public:
  TemporaryFile(ProfileFileSystem& fs, ProfileFileSystem::TempFile file)
      : fs_(fs), file_(std::move(file)) {}
  ~TemporaryFile() {
    try {
      if (open_)
        fs_.Close(file_.handle);
      if (!kept_)
        fs_.Remove(file_.path);
    } catch (...) {
      // Nothing more can be done about it here.
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Handle() const { return file_.handle; }
  const std::string& Path() const { return file_.path; }
  // Closes the file (the handle is gone whatever the result).
  bool Close() {
    open_ = false;
    return fs_.Close(file_.handle);
  }
  void Keep() { kept_ = true; }

private:
  ProfileFileSystem& fs_;
  ProfileFileSystem::TempFile file_;
  bool open_ = true;
  bool kept_ = false;
};

} // namespace

PortableProfileFile::PortableProfileFile()
    : PortableProfileFile(std::make_shared<PosixProfileFileSystem>()) {}

PortableProfileFile::PortableProfileFile(std::shared_ptr<ProfileFileSystem> fileSystem)
    : fs_(std::move(fileSystem)) {}

std::size_t PortableProfileFile::GetString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue, std::span<char> buffer,
                                           const std::string& file) {
  try {
    std::string contents;
    std::optional<std::string_view> value;
    if (fs_->ReadWholeFile(NativePath(file), contents) == ProfileFileSystem::ReadResult::Ok)
      value = profile_text::Lookup(contents, section, key);
    if (value)
      return CopyOut(*value, buffer);
  } catch (...) {
    // Out of memory and the like: read as missing.
  }
  std::string_view def = profile_text::CallerText(defaultValue);
  while (!def.empty() && def.back() == ' ')
    def.remove_suffix(1);
  return CopyOut(def, buffer);
}

bool PortableProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
  try {
    std::string target;
    if (!fs_->ResolveTarget(NativePath(file), target))
      return false;
    std::string old;
    auto read = fs_->ReadWholeFile(target, old);
    if (read == ProfileFileSystem::ReadResult::Failed)
      return false;
    const bool exists = read == ProfileFileSystem::ReadResult::Ok;
    if (exists && !fs_->MayReplace(target))
      return false;
    std::string updated = profile_text::Store(old, section, key, value);
    if (exists && updated == old)
      return true;
    return ReplaceFile(target, updated);
  } catch (...) {
    return false;
  }
}

bool PortableProfileFile::ReplaceFile(const std::string& target, const std::string& contents) {
  ProfileFileSystem::TempFile created;
  if (!fs_->CreateTemp(target, created))
    return false;
  TemporaryFile temp(*fs_, std::move(created));
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < contents.size()) {
    std::ptrdiff_t n = fs_->Write(temp.Handle(), contents.data() + done, contents.size() - done);
    if (n <= 0) // an error, or no progress at all (which would loop for ever)
      ok = false;
    else
      done += std::min(static_cast<std::size_t>(n), contents.size() - done);
  }
  ok = ok && fs_->Flush(temp.Handle());
  ok = temp.Close() && ok;
  ok = ok && fs_->Rename(temp.Path(), target);
  if (ok)
    temp.Keep(); // it is the settings file now
  return ok;
}

} // namespace vantelo
