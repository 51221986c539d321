#include "cli/settings_tool.h"

#include "addin/clsVantelo.h"
#include "cli/program_platform.h"
#include "cli/settings_check.h"
#include "cli/usage_error.h"
#include "config/line_breaks.h"
#include "config/settings_catalogue.h"
#include "platform/utf8_path.h"
#include "profile/document_profile_file.h"
#include "profile/portable_profile_file.h"

#include <stdexcept>

namespace vantelo::cli {
namespace {

std::unique_ptr<clsVantelo> AddinOnPlatform(std::shared_ptr<RegionalSettings> regional,
                                            std::shared_ptr<ProfileFile> profile) {
  PlatformChoice choice;
  choice.regional = std::move(regional);
  choice.profile = std::move(profile);
  return std::make_unique<clsVantelo>(ProgramPlatform(std::move(choice)));
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
  const auto codePage = AddinCodePage();
  if (codePage->ToUtf8(codePage->FromUtf8(text)) != text)
    throw UsageError(what + ": \"" + text + "\" has characters that the ANSI code page (" +
                     AddinCodePageName() + "), in which the file is written, cannot hold");
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

namespace {

// The add-in's own reading of every setting, with its write-backs, on the
// file's text in memory: every key that is missing or empty gets its default.
// False when a write-back was refused.
bool CompleteWithDefaults(ProfileDocument& document, std::shared_ptr<RegionalSettings> regional,
                          std::vector<AddedSetting>& added) {
  added.clear();
  for (const Setting& setting : SettingsCatalogue()) {
    const auto old = document.Lookup(setting.section, setting.Key());
    if ((!old || old->empty()) && !setting.defaultText.empty())
      added.push_back({std::string(setting.section), std::string(setting.Key()),
                       std::string(setting.defaultText)});
  }
  auto profile = std::make_shared<DocumentProfileFile>(document, kFileInMemory, true);
  auto addin = AddinOnPlatform(std::move(regional), profile);
  for (const Setting& setting : SettingsCatalogue()) {
    std::string section(setting.section), key(setting.Key()), defaultText(setting.defaultText);
    std::string iniFile = kFileInMemory;
    addin->GetFromINI(section, key, defaultText, iniFile);
  }
  return profile->FailedWrites() == 0;
}

} // namespace

InitResult InitSettingsFile(const std::string& path, std::shared_ptr<RegionalSettings> regional,
                            std::shared_ptr<ProfileFileSystem> fileSystem) {
  PortableProfileFile profileFile(AddinCodePage(), fileSystem ? std::move(fileSystem)
                                                              : MakeNativeProfileFileSystem());
  InitResult result;
  // All within one locked read-modify-write of the file.
  result.written = profileFile.Update(PathFromUtf8(path), [&](ProfileDocument& document) {
    return CompleteWithDefaults(document, regional, result.added);
  });
  if (!result.written)
    result.problem = profileFile.Problem();
  return result;
}

namespace {

// Every missing key with its default, as InitSettingsFile writes them. The
// profile functions drop the blanks around a value, so a default that is
// blank (the list separator " ") would read as empty and be written again at
// every save, into a folder users cannot write to: in quotation marks it
// reads as itself.
std::string Completed(ProfileDocument& document, std::shared_ptr<RegionalSettings> regional) {
  std::vector<AddedSetting> added;
  if (!CompleteWithDefaults(document, std::move(regional), added))
    throw std::logic_error("the defaults could not be written into the settings in memory");
  for (const AddedSetting& setting : added)
    if (setting.value.front() == ' ' || setting.value.back() == ' ')
      document.Store(setting.section, setting.key, "\"" + setting.value + "\"");
  return document.Bytes();
}

} // namespace

std::string DefaultSettings(std::shared_ptr<RegionalSettings> regional) {
  ProfileDocument document("");
  return Completed(document, std::move(regional));
}

std::string CompleteCompanySettings(const std::string& name, const std::string& bytes,
                                    std::shared_ptr<RegionalSettings> regional) {
  const auto refuse = [&](const std::string& why) { throw UsageError(name + ": " + why); };
  if (bytes.empty())
    refuse("the file is empty: it is no settings file");
  ProfileDocument document(bytes);
  if (!document.IsUnicode() && bytes.find('\0') != std::string::npos)
    refuse("the file holds NUL bytes, so it is neither text in the ANSI code page nor UTF-16: "
           "it is no settings file");
  if (document.IsDamaged())
    refuse("the file is UTF-16 text with an odd number of bytes: its last character is cut");
  const SettingsCheck check = CheckSettingsText(name, bytes, regional);
  if (!check.knownSection) {
    std::string sections;
    for (std::string_view section : SettingsSections())
      sections += (sections.empty() ? "[" : ", [") + std::string(section) + "]";
    refuse("none of the sections the add-in reads (" + sections +
           ") is in the file: it is no settings file");
  }
  if (check.SaveFails()) {
    std::string errors;
    for (const Finding& finding : check.findings)
      if (finding.severity == Finding::Severity::Error)
        errors += (errors.empty() ? "" : "; ") +
                  (finding.line ? "line " + std::to_string(*finding.line) + ": " : std::string()) +
                  finding.message;
    refuse("every save would fail with this file: " + errors);
  }
  return Completed(document, std::move(regional));
}

InstallResult InstallSettingsFile(const std::string& path, const std::optional<std::string>& from,
                                  std::shared_ptr<RegionalSettings> regional) {
  PortableProfileFile profileFile(AddinCodePage());
  InstallResult result;
  std::string contents;
  // A file that is there stays, so the source is not even read: it need not
  // be reachable for a repair or an upgrade.
  if (profileFile.Read(PathFromUtf8(path), contents) == PortableProfileFile::ReadResult::Ok)
    return result;
  if (from) {
    const auto read = profileFile.Read(PathFromUtf8(*from), contents);
    if (read == PortableProfileFile::ReadResult::Missing)
      throw UsageError("--from: " + *from + ": the file does not exist");
    if (read == PortableProfileFile::ReadResult::Failed)
      throw UsageError("--from: " + profileFile.Problem());
    contents = CompleteCompanySettings(*from, contents, std::move(regional));
  } else {
    contents = DefaultSettings(std::move(regional));
  }
  switch (profileFile.Create(PathFromUtf8(path), contents)) {
  case PortableProfileFile::Created::Yes:
    result.created = true;
    break;
  case PortableProfileFile::Created::AlreadyThere:
    break;
  case PortableProfileFile::Created::Failed:
    result.written = false;
    result.problem = profileFile.Problem();
    break;
  }
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
