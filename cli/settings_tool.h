// The settings file through the add-in's own GetFromINI and AddToINI: the
// file a first save creates, one value read, one value written.
#pragma once

#include "cli/recording_profile_file.h"
#include "platform/services.h"
#include "profile/profile_file_system.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantelo::cli {

// The name the add-in is handed for a settings file's text held in memory:
// the real path need not pass the ANSI code page, since no profile function
// opens it.
inline constexpr const char* kFileInMemory = "Vantelo.ini";

struct AddedSetting {
  std::string section, key, value;
};

struct InitResult {
  std::vector<AddedSetting> added; // the keys that were missing or empty
  bool written = true;             // false: none of them reached the file
  std::string problem;             // why not
};

// Reads every setting in load order as a save does, so every key that is
// missing or empty gets its default; values already there stay. The whole
// change is made in one write, so the file gets all of the keys or none.
// fileSystem: the file system to write through (tests make steps fail).
InitResult InitSettingsFile(const std::string& path, std::shared_ptr<RegionalSettings> regional,
                            std::shared_ptr<ProfileFileSystem> fileSystem = nullptr);

struct InstallResult {
  bool created = false; // false: a file was there already and is left as it is
  bool written = true;  // false: the file could not be created
  std::string problem;  // why not
};

// A new settings file: every key with its default, as InitSettingsFile
// writes them into a missing file.
std::string DefaultSettings(std::shared_ptr<RegionalSettings> regional);

// A company's settings file, bytes read from the file called name, as it is
// to be laid down: completed with every missing key's default as
// InitSettingsFile does, the company's values kept. Throws UsageError, naming
// the file and what is wrong, unless it is a settings file: not empty, text
// in the ANSI code page (no NUL byte) or UTF-16, at least one section the
// add-in reads, and nothing that makes every save fail (CheckSettingsFile).
std::string CompleteCompanySettings(const std::string& name, const std::string& bytes,
                                    std::shared_ptr<RegionalSettings> regional);

// Lays down the settings file only when there is none: the file from as
// CompleteCompanySettings makes it, or what InitSettingsFile writes into a
// new file. An existing file is never changed, and from is then not read.
// The file appears whole in one step that never replaces a file (also one
// that another program creates meanwhile). Throws UsageError when from
// cannot be read or is refused.
InstallResult InstallSettingsFile(const std::string& path, const std::optional<std::string>& from,
                                  std::shared_ptr<RegionalSettings> regional);

struct SettingRead {
  std::string value;
  std::vector<FailedWrite> failedWrites; // the write-back of the default, when it failed
};

// GetFromINI: the value, or the default (then also written into the file
// when not empty).
SettingRead GetSetting(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultText, std::shared_ptr<RegionalSettings> regional);

// AddToINI: whether the platform reported the write as done, and why not.
struct SettingWrite {
  bool written = false;
  std::string problem;
};
SettingWrite SetSetting(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value, std::shared_ptr<RegionalSettings> regional);

// A section, key or value that the profile functions store as given and read
// back the same: no line breaks or NUL (they would split the line), no ']'
// in a section, no '=' in a key nor a key starting with ';' or '[', nothing
// blank, every character in the ANSI code page. Throws UsageError.
void CheckSectionName(const std::string& section);
void CheckKeyName(const std::string& key);
void CheckValueText(const std::string& value, const std::string& what);

} // namespace vantelo::cli
