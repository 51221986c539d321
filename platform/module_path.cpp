#include "platform/module_path.h"

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

} // namespace vantelo
