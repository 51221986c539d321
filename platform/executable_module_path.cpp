// The running executable's path, from Linux's /proc/self/exe.
#include "platform/module_path.h"

#include <unistd.h>
#include <vector>

namespace vantelo {

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
