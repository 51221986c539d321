#include "platform/module_path.h"

#include <unistd.h>
#include <vector>

namespace vantelo {

FixedModulePath::FixedModulePath(std::string directory, std::string baseName)
    : directory_(std::move(directory)), baseName_(std::move(baseName)) {}

void ExecutableModulePath::Split(const std::string& path, std::string& directory,
                                 std::string& baseName) {
  std::size_t slash = path.find_last_of('/');
  directory = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.find_last_of('.');
  baseName = (dot == std::string::npos || dot == 0) ? name : name.substr(0, dot);
}

ExecutableModulePath::ExecutableModulePath() {
  // The link's length is not known in advance: grow the buffer until it fits.
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0)
      return;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      Split(std::string(buffer.data(), static_cast<std::size_t>(n)), directory_, baseName_);
      return;
    }
    if (buffer.size() >= (1u << 20))
      return;
    buffer.resize(buffer.size() * 2);
  }
}

} // namespace vantelo
