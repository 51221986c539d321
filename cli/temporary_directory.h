// A new private directory that is removed with everything in it at the end.
#pragma once

#include <string>

namespace vantelo::cli {

class TemporaryDirectory {
public:
  TemporaryDirectory(); // throws std::runtime_error when none can be made
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

} // namespace vantelo::cli
