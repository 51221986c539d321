#include "cli/settings_tool.h"

#include "addin/clsVantelo.h"
#include "cli/usage_error.h"
#include "config/line_breaks.h"
#include "config/settings_catalogue.h"
#include "platform/document_profile_file.h"
#include "platform/portable_platform.h"
#include "platform/portable_profile_file.h"
#include "platform/windows1252_code_page.h"

namespace vantelo::cli {
namespace {

std::unique_ptr<clsVantelo> AddinOnPlatform(std::shared_ptr<RegionalSettings> regional,
                                            std::shared_ptr<ProfileFile> profile) {
  PortablePlatformOptions options;
  options.regional = std::move(regional);
  options.profile = std::move(profile);
  return std::make_unique<clsVantelo>(PortablePlatform(std::move(options)));
}

void CheckText(const std::string& text, const std::string& what) {
  // The add-in refuses a line break itself (AddToINI returns False); saying
  // so here tells why.
  if (HoldsLineBreak(text))
    throw UsageError(what + ": \"" + text +
                     "\" holds a line break, which the add-in refuses: it would split the "
                     "file's line and start a line of its own");
  if (text.find('\0') != std::string::npos)
    throw UsageError(what + ": \"" + text + "\" holds a NUL, which would cut the text short");
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

InitResult InitSettingsFile(const std::string& path, std::shared_ptr<RegionalSettings> regional,
                            std::shared_ptr<ProfileFileSystem> fileSystem) {
  const std::string file = Windows1252CodePage().FromUtf8(path);
  PortableProfileFile profileFile(fileSystem ? std::move(fileSystem)
                                             : std::make_shared<PosixProfileFileSystem>());
  InitResult result;
  // The add-in's own reading, with its write-backs, on the file's text in
  // memory, all within one locked read-modify-write of the file.
  result.written = profileFile.Update(file, [&](ProfileDocument& document) {
    result.added.clear();
    for (const Setting& setting : SettingsCatalogue()) {
      const auto old = document.Lookup(setting.section, setting.Key());
      if ((!old || old->empty()) && !setting.defaultText.empty())
        result.added.push_back({std::string(setting.section), std::string(setting.Key()),
                                std::string(setting.defaultText)});
    }
    auto profile = std::make_shared<DocumentProfileFile>(document, file, true);
    auto addin = AddinOnPlatform(regional, profile);
    for (const Setting& setting : SettingsCatalogue()) {
      std::string section(setting.section), key(setting.Key()), defaultText(setting.defaultText);
      std::string iniFile = path;
      addin->GetFromINI(section, key, defaultText, iniFile);
    }
    return profile->FailedWrites() == 0;
  });
  if (!result.written)
    result.problem = profileFile.Problem();
  return result;
}

SettingRead GetSetting(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultText, std::shared_ptr<RegionalSettings> regional) {
  auto profile = std::make_shared<RecordingProfileFile>();
  auto addin = AddinOnPlatform(std::move(regional), profile);
  std::string s = section, k = key, d = defaultText, f = path;
  SettingRead read;
  read.value = addin->GetFromINI(s, k, d, f);
  read.failedWrites = profile->FailedWrites();
  return read;
}

SettingWrite SetSetting(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value, std::shared_ptr<RegionalSettings> regional) {
  auto profile = std::make_shared<RecordingProfileFile>();
  auto addin = AddinOnPlatform(std::move(regional), profile);
  std::string s = section, k = key, v = value, f = path;
  SettingWrite write;
  write.written = addin->AddToINI(s, k, v, f);
  if (!profile->FailedWrites().empty())
    write.problem = profile->FailedWrites().back().problem;
  return write;
}

} // namespace vantelo::cli
