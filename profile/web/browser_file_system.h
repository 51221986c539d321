// The file system of the settings page: one in-memory file system for the
// page's whole life, which the profile engine reaches as the system's own
// (MakeNativeProfileFileSystem) and the page fills and empties as the
// administrator opens and downloads settings files.
#pragma once

#include "profile/memory_profile_file_system.h"

#include <memory>

namespace vantelo {

std::shared_ptr<MemoryProfileFileSystem> BrowserFileSystem();

} // namespace vantelo
