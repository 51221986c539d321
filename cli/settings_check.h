// What the add-in will make of a settings file, found without changing it:
// per setting the value a save loads and where it comes from, and the
// findings: values that do not convert (every save then fails) and likely
// mistakes (unknown or misspelt sections and keys, repeated ones, values cut
// at 254 bytes, blank values that the default replaces at every save).
#pragma once

#include "config/settings_catalogue.h"
#include "platform/services.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantelo::cli {

struct CheckedSetting {
  const Setting* setting = nullptr;
  std::string value;               // as a save loads it (the text before conversion)
  bool fromFile = false;           // else the default
  std::optional<std::size_t> line; // where the file gives it
  bool converts = true;
};

struct Finding {
  enum class Severity { Error, Warning, Note };
  Severity severity = Severity::Note;
  std::optional<std::size_t> line;
  std::string message;
};

struct SettingsCheck {
  std::string path;
  bool exists = false;
  std::vector<CheckedSetting> settings; // in load order
  std::vector<Finding> findings;        // by line; findings without a line last
  bool knownSection = false;            // the file has a section the add-in reads

  // A value does not convert: every save fails while loading the settings.
  bool SaveFails() const;
};

// Reads the file through the add-in's own GetFromINI with the write-back
// switched off, so the file is never changed. Throws UsageError when the file
// exists but cannot be read.
SettingsCheck CheckSettingsFile(const std::string& path,
                                std::shared_ptr<RegionalSettings> regional);

// The same for a file's contents already read; path only names it.
SettingsCheck CheckSettingsText(const std::string& path, std::string bytes,
                                std::shared_ptr<RegionalSettings> regional);

std::string SeverityName(Finding::Severity severity);

} // namespace vantelo::cli
