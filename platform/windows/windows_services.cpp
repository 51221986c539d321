#include "platform/windows/windows_services.h"

namespace vantelo::win {

PlatformServices WindowsPlatformServices() {
  PlatformServices services;
  services.profile = MakeProfileFile();
  services.codePage = MakeAnsiCodePage();
  services.regional = MakeRegionalSettings();
  services.clock = MakeClock();
  services.modulePath = MakeModulePath();
  services.messagePump = MakeMessagePump();
  services.messageBox = MakeMessageDialog();
  return services;
}

} // namespace vantelo::win
