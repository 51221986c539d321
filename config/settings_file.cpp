// GetFromINI and AddToINI: the class's only access to its settings file.
// A section, key or value with a line break is refused before the platform
// sees it (config/line_breaks.h): the read gives the default, the write
// returns false, and the file stays as it was. A file path the ANSI code
// page cannot hold is refused with an error: passed on, it would name
// another file, or none.
//
// Each call holds the settings file's lock (ProfileFile::Lock) for all it
// does, so GetFromINI's read and its write-back of a missing value are one
// read-modify-write; a hold its caller has (a save's load) is used instead.
#include "addin/clsVantelo.h"
#include "addin/failure.h"
#include "config/line_breaks.h"

#include <cstring>
#include <vector>

namespace vantelo {
namespace {

constexpr std::size_t kReadBufferSize = 255;

} // namespace

bool clsVantelo::AnsiHolds(const std::string& text) {
  AnsiCodePage& codePage = *platform_.codePage;
  return codePage.ToUtf8(codePage.FromUtf8(text)) == text;
}

std::string clsVantelo::AnsiSettingsPath(const std::string& path) {
  if (!AnsiHolds(path))
    throw Failure(hresult::NoUnicodeTranslation,
                  "The settings file \"" + path +
                      "\" cannot be named to the settings file functions: its path has "
                      "characters outside the system's ANSI code page.");
  return platform_.codePage->FromUtf8(path);
}

// The profile functions take and give texts in the ANSI code page; the
// by-reference arguments come back converted there and back. They are
// assigned only once every text is made, so a failure (out of memory)
// leaves them as they were.
std::string clsVantelo::GetFromINI(std::string& sSection, std::string& sKey, std::string& sDefault,
                                   std::string& sIniFile) {
  AnsiCodePage& codePage = *platform_.codePage;
  const std::string file = AnsiSettingsPath(sIniFile);
  const std::string section = codePage.FromUtf8(sSection);
  const std::string key = codePage.FromUtf8(sKey);
  std::string sectionText = codePage.ToUtf8(section);
  std::string keyText = codePage.ToUtf8(key);
  std::string defaultText = codePage.ToUtf8(codePage.FromUtf8(sDefault));

  std::size_t count = 0;
  std::string value;
  std::unique_ptr<ProfileFile::Hold> hold;
  if (!HoldsLineBreak(section) && !HoldsLineBreak(key)) {
    // For writing when a missing value will be written back.
    hold =
        platform_.profile->Lock(file, defaultText.empty() ? LockMode::Shared : LockMode::Exclusive);
    // 255 characters of code 0; the platform writes at most 254 and a 0.
    std::vector<char> buffer(kReadBufferSize, '\0');
    // The empty text as the default, never the caller's: a missing value
    // is recognised by the count 0 and then written back below.
    count = platform_.profile->GetString(section, key, "", buffer, file);
    if (count != 0)
      value = codePage.ToUtf8(std::string(buffer.data(), strnlen(buffer.data(), buffer.size())));
  }
  sSection = std::move(sectionText);
  sKey = std::move(keyText);
  sDefault = std::move(defaultText);
  if (count != 0)
    return value;
  // AddToINI refuses a section, key or default with a line break, so such a
  // default is only returned.
  if (!sDefault.empty())
    AddToINI(sSection, sKey, sDefault, sIniFile); // its result does not matter here
  return sDefault;
}

bool clsVantelo::AddToINI(std::string& sSection, std::string& sKey, std::string& sValue,
                          std::string& sIniFile) {
  AnsiCodePage& codePage = *platform_.codePage;
  const std::string file = AnsiSettingsPath(sIniFile);
  const std::string section = codePage.FromUtf8(sSection);
  const std::string key = codePage.FromUtf8(sKey);
  const std::string value = codePage.FromUtf8(sValue);
  std::string sectionText = codePage.ToUtf8(section);
  std::string keyText = codePage.ToUtf8(key);
  std::string valueText = codePage.ToUtf8(value);
  bool written = false;
  if (!HoldsLineBreak(section) && !HoldsLineBreak(key) && !HoldsLineBreak(value)) {
    const auto hold = platform_.profile->Lock(file, LockMode::Exclusive);
    written = platform_.profile->WriteString(section, key, value, file);
  }
  sSection = std::move(sectionText);
  sKey = std::move(keyText);
  sValue = std::move(valueText);
  return written;
}

} // namespace vantelo
