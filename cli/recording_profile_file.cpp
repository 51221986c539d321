#include "cli/recording_profile_file.h"

namespace vantelo::cli {

std::unique_ptr<ProfileFile::Hold> RecordingProfileFile::Lock(const std::string& file,
                                                              LockMode mode) {
  return file_->Lock(file, mode);
}

std::size_t RecordingProfileFile::GetString(const std::string& section, const std::string& key,
                                            const std::string& defaultValue, std::span<char> buffer,
                                            const std::string& file) {
  return file_->GetString(section, key, defaultValue, buffer, file);
}

bool RecordingProfileFile::WriteString(const std::string& section, const std::string& key,
                                       const std::string& value, const std::string& file) {
  if (file_->WriteString(section, key, value, file))
    return true;
  const auto page = AddinCodePage();
  failed_.push_back({page->ToUtf8(section), page->ToUtf8(key), file_->Problem()});
  return false;
}

std::string FailedWriteText(const FailedWrite& write, const std::string& file) {
  return "[" + write.section + "] " + write.key + " was not written to " + file + ": " +
         write.problem;
}

} // namespace vantelo::cli
