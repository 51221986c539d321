// The platform services of the Windows module, implemented over the Windows
// API. Each service lives in the file of its name.
#pragma once

#include "platform/services.h"

#include <memory>

namespace vantelo::win {

std::shared_ptr<ProfileFile> MakeProfileFile();
std::shared_ptr<AnsiCodePage> MakeAnsiCodePage();
std::shared_ptr<RegionalSettings> MakeRegionalSettings();
std::shared_ptr<Clock> MakeClock();
std::shared_ptr<ModulePath> MakeModulePath();
std::shared_ptr<MessagePump> MakeMessagePump();
std::shared_ptr<MessageDialog> MakeMessageDialog();

// All of the above.
PlatformServices WindowsPlatformServices();

} // namespace vantelo::win
