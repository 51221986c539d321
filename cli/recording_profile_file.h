// The portable profile file with a record of the writes that failed: the
// add-in does not look at the result of its write-back, but the program
// reports it.
#pragma once

#include "platform/portable_profile_file.h"

#include <string>
#include <vector>

namespace vantelo::cli {

struct FailedWrite {
  std::string section, key; // UTF-8
  std::string problem;      // why, as the profile file says
};

class RecordingProfileFile : public ProfileFile {
public:
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;

  const std::vector<FailedWrite>& FailedWrites() const { return failed_; }

private:
  PortableProfileFile file_;
  std::vector<FailedWrite> failed_;
};

// "[Section] Key was not written to FILE: problem"
std::string FailedWriteText(const FailedWrite& write, const std::string& file);

} // namespace vantelo::cli
