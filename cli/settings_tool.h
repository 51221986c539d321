// The settings file through the add-in's own GetFromINI and AddToINI: the
// file a first save creates, one value read, one value written.
#pragma once

#include "platform/services.h"

#include <memory>
#include <string>
#include <vector>

namespace vantelo::cli {

struct AddedSetting {
  std::string section, key, value;
};

// Reads every setting in load order as a save does, so every key that is
// missing or empty is written with its default; values already there stay.
// Returns what was added.
std::vector<AddedSetting> InitSettingsFile(const std::string& path,
                                           std::shared_ptr<RegionalSettings> regional);

// GetFromINI: the value, or the default (then also written into the file
// when not empty).
std::string GetSetting(const std::string& path, const std::string& section, const std::string& key,
                       const std::string& defaultText, std::shared_ptr<RegionalSettings> regional);

// AddToINI: whether the platform reported the write as done.
bool SetSetting(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value, std::shared_ptr<RegionalSettings> regional);

// A section, key or value that the profile functions store as given and read
// back the same: no line breaks or NUL (they would split the line), no ']'
// in a section, no '=' in a key nor a key starting with ';' or '[', nothing
// blank, every character in the ANSI code page. Throws UsageError.
void CheckSectionName(const std::string& section);
void CheckKeyName(const std::string& key);
void CheckValueText(const std::string& value, const std::string& what);

} // namespace vantelo::cli
