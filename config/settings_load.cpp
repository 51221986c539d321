// Loading the file-backed settings into the class's members.
#include "addin/clsVantelo.h"
#include "config/settings_catalogue.h"

#include <string>

namespace vantelo {

// Reads every setting in catalogue order and stores it before the next one is
// read: a value that does not convert ends the load there, so the settings
// before it keep their new values and the rest keep their old ones (and
// their keys are not written back on this load).
//
// The whole load is one read-modify-write under the settings file's lock,
// held for writing since any key may be written back: another program's
// write is never seen half done, and none comes between a read and its
// write-back. The GetFromINI calls recognise the hold as theirs. (Holding it
// for reading and asking for writing at a write-back would let two loads
// wait for each other.)
void clsVantelo::LoadSettings(std::string& IniFile) {
  const auto hold = platform_.profile->Lock(AnsiSettingsPath(IniFile), LockMode::Exclusive);
  for (const Setting& setting : SettingsCatalogue()) {
    std::string section(setting.section);
    std::string key(setting.Key());
    std::string defaultText(setting.defaultText);
    const std::string text = GetFromINI(section, key, defaultText, IniFile);
    SetMemberFromText(*this, setting.member, text, platform_.regional->DecimalSeparator());
  }
}

} // namespace vantelo
