// GetFromINI and AddToINI: the class's only access to its settings file.
// A section, key or value with a line break is refused before the platform
// sees it (config/line_breaks.h): the read gives the default, the write
// returns false, and the file stays as it was.
#include "addin/clsVantelo.h"
#include "config/line_breaks.h"

#include <cstring>
#include <vector>

namespace vantelo {
namespace {

// The profile functions take and give texts in the ANSI code page; the
// by-reference arguments come back converted there and back.
struct AnsiArgument {
  AnsiArgument(AnsiCodePage& codePage, std::string& text)
      : codePage_(codePage), text_(text), bytes(codePage.FromUtf8(text)) {}
  ~AnsiArgument() { text_ = codePage_.ToUtf8(bytes); }
  AnsiArgument(const AnsiArgument&) = delete;
  AnsiArgument& operator=(const AnsiArgument&) = delete;

  AnsiCodePage& codePage_;
  std::string& text_;
  std::string bytes;
};

constexpr std::size_t kReadBufferSize = 255;

} // namespace

std::string clsVantelo::GetFromINI(std::string& sSection, std::string& sKey, std::string& sDefault,
                                   std::string& sIniFile) {
  std::size_t count = 0;
  std::string value;
  bool refused = false;
  {
    AnsiCodePage& codePage = *platform_.codePage;
    AnsiArgument section(codePage, sSection), key(codePage, sKey), file(codePage, sIniFile);
    AnsiArgument defaultText(codePage, sDefault);
    refused = HoldsLineBreak(section.bytes) || HoldsLineBreak(key.bytes);
    if (!refused) {
      // 255 characters of code 0; the platform writes at most 254 and a 0.
      std::vector<char> buffer(kReadBufferSize, '\0');
      // The empty text as the default, never the caller's: a missing value
      // is recognised by the count 0 and then written back below.
      count = platform_.profile->GetString(section.bytes, key.bytes, "", buffer, file.bytes);
      if (count != 0)
        value = codePage.ToUtf8(std::string(buffer.data(), strnlen(buffer.data(), buffer.size())));
    }
  }
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
  AnsiArgument section(codePage, sSection), key(codePage, sKey), value(codePage, sValue),
      file(codePage, sIniFile);
  if (HoldsLineBreak(section.bytes) || HoldsLineBreak(key.bytes) || HoldsLineBreak(value.bytes))
    return false;
  return platform_.profile->WriteString(section.bytes, key.bytes, value.bytes, file.bytes);
}

} // namespace vantelo
