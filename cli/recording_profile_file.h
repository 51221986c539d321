// The system's profile file with a record of the writes that failed: the
// add-in does not look at the result of its write-back, but the program
// reports it.
#pragma once

#include "cli/program_platform.h"

#include <memory>

#include <string>
#include <vector>

namespace vantelo::cli {

struct FailedWrite {
  std::string section, key; // UTF-8
  std::string problem;      // why, as the profile file says
};

class RecordingProfileFile : public ProfileFile {
public:
  std::unique_ptr<Hold> Lock(const std::string& file, LockMode mode) override;
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;

  const std::vector<FailedWrite>& FailedWrites() const { return failed_; }

private:
  std::unique_ptr<SystemProfileFile> file_ = MakeSystemProfileFile();
  std::vector<FailedWrite> failed_;
};

// "[Section] Key was not written to FILE: problem"
std::string FailedWriteText(const FailedWrite& write, const std::string& file);

} // namespace vantelo::cli
