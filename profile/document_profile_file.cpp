#include "profile/document_profile_file.h"

namespace vantelo {

DocumentProfileFile::DocumentProfileFile(ProfileDocument& document, std::string file, bool writable)
    : document_(document), file_(std::move(file)), writable_(writable) {}

std::unique_ptr<ProfileFile::Hold> DocumentProfileFile::Lock(const std::string&, LockMode) {
  return std::make_unique<Hold>();
}

std::size_t DocumentProfileFile::GetString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue, std::span<char> buffer,
                                           const std::string& file) {
  if (file != file_)
    return ProfileDocument("").GetString(section, key, defaultValue, buffer);
  return document_.GetString(section, key, defaultValue, buffer);
}

bool DocumentProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
  if (writable_ && file == file_ && document_.Store(section, key, value))
    return true;
  ++failedWrites_;
  return false;
}

} // namespace vantelo
