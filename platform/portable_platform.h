// The platform services from the portable implementations in this folder.
#pragma once

#include "platform/services.h"

#include <memory>

namespace vantelo {

// Services to use instead of the portable defaults; each one left empty gets
// its default.
struct PortablePlatformOptions {
  std::shared_ptr<Clock> clock;               // default: SystemClock
  std::shared_ptr<RegionalSettings> regional; // default: LocaleRegionalSettings (environment)
  std::shared_ptr<ModulePath> modulePath;     // default: ExecutableModulePath
  std::shared_ptr<MessageDialog> messageBox;  // default: RecordingMessageDialog (answers OK)
  std::shared_ptr<ProfileFile> profile;       // default: PortableProfileFile (real files, paths
                                              // in codePage)
  std::shared_ptr<AnsiCodePage> codePage;     // default: Windows1252CodePage
  std::shared_ptr<MessagePump> messagePump;   // default: NullMessagePump
};

PlatformServices PortablePlatform(PortablePlatformOptions options = {});

} // namespace vantelo
