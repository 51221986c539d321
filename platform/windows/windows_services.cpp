#include "platform/windows/windows_services.h"

namespace vantelo::win {

PlatformServices windowsPlatformServices() {
  PlatformServices services;
  services.profile = makeProfileFile();
  services.codePage = makeAnsiCodePage();
  services.regional = makeRegionalSettings();
  services.clock = makeClock();
  services.modulePath = makeModulePath();
  services.messagePump = makeMessagePump();
  services.messageBox = makeMessageDialog();
  return services;
}

} // namespace vantelo::win
