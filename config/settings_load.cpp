// Loading the file-backed settings into the class's members.
#include "addin/clsVantelo.h"
#include "config/settings_catalogue.h"

#include <string>

namespace vantelo {

// Reads every setting in catalogue order and stores it before the next one is
// read: a value that does not convert ends the load there, so the settings
// before it keep their new values and the rest keep their old ones (and
// their keys are not written back on this load).
void clsVantelo::LoadSettings(std::string& IniFile) {
  for (const Setting& setting : SettingsCatalogue()) {
    std::string section(setting.section);
    std::string key(setting.Key());
    std::string defaultText(setting.defaultText);
    const std::string text = GetFromINI(section, key, defaultText, IniFile);
    SetMemberFromText(*this, setting.member, text, platform_.regional->DecimalSeparator());
  }
}

} // namespace vantelo
