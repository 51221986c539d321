// The platform services of the Windows module, implemented over the Windows
// API. Each service lives in the file of its name.
#pragma once

#include "platform/services.h"

#include <memory>

namespace vantelo::win {

std::shared_ptr<ProfileFile> makeProfileFile();
std::shared_ptr<AnsiCodePage> makeAnsiCodePage();
std::shared_ptr<RegionalSettings> makeRegionalSettings();
std::shared_ptr<Clock> makeClock();
std::shared_ptr<ModulePath> makeModulePath();
std::shared_ptr<MessagePump> makeMessagePump();
std::shared_ptr<MessageDialog> makeMessageDialog();

// All of the above.
PlatformServices windowsPlatformServices();

} // namespace vantelo::win
