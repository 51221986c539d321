#include "cli/settings_tool.h"

#include "addin/clsVantelo.h"
#include "cli/usage_error.h"
#include "config/settings_catalogue.h"
#include "platform/portable_platform.h"
#include "platform/profile_text.h"
#include "platform/windows1252_code_page.h"

#include <fstream>
#include <iterator>

namespace vantelo::cli {
namespace {

std::unique_ptr<clsVantelo> AddinOnPlatform(std::shared_ptr<RegionalSettings> regional) {
  PortablePlatformOptions options;
  options.regional = std::move(regional);
  return std::make_unique<clsVantelo>(PortablePlatform(std::move(options)));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CheckText(const std::string& text, const std::string& what) {
  if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
    throw UsageError(what + ": \"" + text +
                     "\" holds a line break or NUL, which would split the file's line");
  Windows1252CodePage codePage;
  if (codePage.ToUtf8(codePage.FromUtf8(text)) != text)
    throw UsageError(what + ": \"" + text +
                     "\" has characters that the ANSI code page (Windows-1252), in which the "
                     "file is written, cannot hold");
}

bool Blank(const std::string& text) { return text.find_first_not_of(" \t\v") == std::string::npos; }

} // namespace

void CheckSectionName(const std::string& section) {
  CheckText(section, "SECTION");
  if (Blank(section))
    throw UsageError("SECTION: the section name is empty");
  if (section.find(']') != std::string::npos)
    throw UsageError("SECTION: \"" + section + "\" holds ']', which ends a section name");
}

void CheckKeyName(const std::string& key) {
  CheckText(key, "KEY");
  if (Blank(key))
    throw UsageError("KEY: the key name is empty");
  if (key.find('=') != std::string::npos)
    throw UsageError("KEY: \"" + key + "\" holds '=', which ends a key name");
  const auto first = key.find_first_not_of(" \t\v");
  if (key[first] == ';' || key[first] == '[')
    throw UsageError("KEY: \"" + key + "\" starts with '" + key[first] +
                     "', which makes the line a comment or a section");
}

void CheckValueText(const std::string& value, const std::string& what) { CheckText(value, what); }

std::vector<AddedSetting> InitSettingsFile(const std::string& path,
                                           std::shared_ptr<RegionalSettings> regional) {
  const std::string before = ReadFile(path);
  auto addin = AddinOnPlatform(std::move(regional));
  for (const Setting& setting : SettingsCatalogue()) {
    std::string section(setting.section), key(setting.Key()), defaultText(setting.defaultText);
    std::string file = path;
    addin->GetFromINI(section, key, defaultText, file);
  }
  const std::string after = ReadFile(path);
  std::vector<AddedSetting> added;
  for (const Setting& setting : SettingsCatalogue()) {
    const auto old = profile_text::Lookup(before, setting.section, setting.Key());
    const auto now = profile_text::Lookup(after, setting.section, setting.Key());
    if ((!old && now) || (old && now && old->empty() && !now->empty()))
      added.push_back({std::string(setting.section), std::string(setting.Key()),
                       std::string(setting.defaultText)});
  }
  return added;
}

std::string GetSetting(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultText, std::shared_ptr<RegionalSettings> regional) {
  auto addin = AddinOnPlatform(std::move(regional));
  std::string s = section, k = key, d = defaultText, f = path;
  return addin->GetFromINI(s, k, d, f);
}

bool SetSetting(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value, std::shared_ptr<RegionalSettings> regional) {
  auto addin = AddinOnPlatform(std::move(regional));
  std::string s = section, k = key, v = value, f = path;
  return addin->AddToINI(s, k, v, f);
}

} // namespace vantelo::cli
