// The settings file through the add-in's own GetFromINI and AddToINI: the
// file a first save creates, one value read, one value written.
#pragma once

#include "cli/recording_profile_file.h"
#include "platform/profile_file_system.h"
#include "platform/services.h"

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

// Lays down the settings file only when there is none: a copy of the file
// from, or what InitSettingsFile writes into a new file. The file appears
// whole in one step that never replaces a file, so an existing one (also
// one that another program creates meanwhile) is never changed. Throws
// UsageError when from cannot be read.
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
