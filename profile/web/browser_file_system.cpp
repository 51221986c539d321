#include "profile/web/browser_file_system.h"

namespace vantelo {

std::shared_ptr<MemoryProfileFileSystem> BrowserFileSystem() {
  // The page's disk: it lives as long as the page, as a disk outlives any
  // program that writes to it.
  static const auto fileSystem = std::make_shared<MemoryProfileFileSystem>();
  return fileSystem;
}

std::shared_ptr<ProfileFileSystem> MakeNativeProfileFileSystem() { return BrowserFileSystem(); }

} // namespace vantelo
