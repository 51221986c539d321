#include "platform/portable_platform.h"

#include "platform/clocks.h"
#include "platform/message_dialogs.h"
#include "platform/module_path.h"
#include "platform/regional_settings.h"
#include "profile/portable_profile_file.h"
#include "profile/windows1252_code_page.h"

namespace vantelo {

namespace {

template <class Implementation, class Interface>
std::shared_ptr<Interface> OrDefault(std::shared_ptr<Interface> given) {
  if (given)
    return given;
  return std::make_shared<Implementation>();
}

} // namespace

PlatformServices PortablePlatform(PortablePlatformOptions options) {
  PlatformServices services;
  services.codePage = OrDefault<Windows1252CodePage>(std::move(options.codePage));
  // The profile functions' paths come in the platform's code page.
  services.profile = options.profile ? std::move(options.profile)
                                     : std::make_shared<PortableProfileFile>(services.codePage);
  services.regional = OrDefault<LocaleRegionalSettings>(std::move(options.regional));
  services.clock = OrDefault<SystemClock>(std::move(options.clock));
  services.modulePath = OrDefault<ExecutableModulePath>(std::move(options.modulePath));
  services.messagePump = OrDefault<NullMessagePump>(std::move(options.messagePump));
  services.messageBox = OrDefault<RecordingMessageDialog>(std::move(options.messageBox));
  return services;
}

} // namespace vantelo
