#include "cli/settings_check.h"

#include "addin/clsVantelo.h"
#include "cli/edit_distance.h"
#include "cli/member_type_text.h"
#include "cli/program_platform.h"
#include "cli/settings_location.h"
#include "cli/settings_tool.h"
#include "cli/usage_error.h"
#include "platform/ascii_case.h"
#include "platform/utf8.h"
#include "platform/utf8_path.h"
#include "profile/document_profile_file.h"
#include "profile/portable_profile_file.h"
#include "profile/profile_text.h"

#include <algorithm>
#include <map>

namespace vantelo::cli {
namespace {

namespace pt = profile_text;

// The file's text in memory with every write refused, so reading a setting
// whose key is missing does not write its default back. Remembers whether
// the last read found a value in the file.
class ReadOnlyProfileFile : public ProfileFile {
public:
  ReadOnlyProfileFile(ProfileDocument& document, const std::string& file)
      : reader_(document, file, false) {}
  std::unique_ptr<Hold> Lock(const std::string&, LockMode) override {
    return std::make_unique<Hold>(); // the text is in memory
  }
  std::size_t GetString(const std::string& section, const std::string& key,
                        const std::string& defaultValue, std::span<char> buffer,
                        const std::string& file) override {
    lastCount = reader_.GetString(section, key, defaultValue, buffer, file);
    return lastCount;
  }
  bool WriteString(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {
    return false;
  }

  std::size_t lastCount = 0;

private:
  DocumentProfileFile reader_;
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Whether bytes above 0x7F form valid UTF-8: such a value was most likely
// saved as UTF-8, while the add-in reads the file in the ANSI code page.
bool LooksLikeUtf8(std::string_view bytes) {
  bool multiByte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto sequence = Utf8SequenceAt(bytes, i);
    if (!sequence)
      return false;
    multiByte = multiByte || sequence->length > 1;
    i += sequence->length;
  }
  return multiByte;
}

class Checker {
public:
  // bytes: the file's contents, already read; else the file is read.
  Checker(const std::string& path, std::shared_ptr<RegionalSettings> regional,
          std::optional<std::string> bytes = std::nullopt)
      : regional_(std::move(regional)), given_(std::move(bytes)) {
    result_.path = path;
  }

  SettingsCheck Run() {
    ReadContents();
    IndexEntries();
    WalkEntries();
    LoadSettings();
    std::stable_sort(result_.findings.begin(), result_.findings.end(),
                     [](const Finding& a, const Finding& b) {
                       if (a.line.has_value() != b.line.has_value())
                         return a.line.has_value();
                       return a.line.value_or(0) < b.line.value_or(0);
                     });
    return std::move(result_);
  }

private:
  void Add(Finding::Severity severity, std::optional<std::size_t> line, std::string message) {
    result_.findings.push_back({severity, line, std::move(message)});
  }

  std::string Utf8(std::string_view bytes) { return codePage_->ToUtf8(std::string(bytes)); }

  void ReadContents() {
    std::string bytes;
    if (given_) {
      bytes = std::move(*given_);
      result_.exists = true;
    } else {
      RequireReadable(result_.path);
      PortableProfileFile file(codePage_);
      const auto read = file.Read(PathFromUtf8(result_.path), bytes);
      if (read == PortableProfileFile::ReadResult::Failed)
        throw UsageError(file.Problem());
      result_.exists = read == PortableProfileFile::ReadResult::Ok;
    }
    document_ = ProfileDocument(bytes);
    contents_ = document_.AnsiText();
    if (!result_.exists) {
      Add(Finding::Severity::Note, std::nullopt,
          "the file does not exist: every setting has its default, and the first save creates "
          "the file with them");
      return;
    }
    if (document_.IsUnicode())
      Add(Finding::Severity::Note, std::nullopt,
          "the file is Unicode text (UTF-16 LE): the add-in reads and writes it as such, each "
          "value converted to the ANSI code page (Windows-1252), where a character the code "
          "page cannot hold becomes '?'");
    if (document_.IsDamaged())
      Add(Finding::Severity::Warning, std::nullopt,
          "the Unicode file has an odd number of bytes, so its last byte is no whole character: "
          "every write to the file fails until that is repaired");
    if (contents_.rfind("\xEF\xBB\xBF", 0) == 0)
      Add(Finding::Severity::Warning, 1,
          "the file starts with a UTF-8 byte-order mark, which the profile functions take as "
          "part of the first line: a section header on line 1 is not recognised");
  }

  // Sections and keys that a save passes over or that look mistyped.
  void WalkEntries() {
    std::vector<std::string_view> sectionNames(SettingsSections().begin(),
                                               SettingsSections().end());
    enum class State { BeforeAny, Read, Repeated, Unknown };
    State state = State::BeforeAny;
    std::string section;       // the current section's name as the file spells it
    std::size_t firstLine = 0; // for a repeated section: where the first one is
    std::map<std::string, std::size_t> sectionLines; // lower-case name -> line
    std::map<std::string, std::size_t> keyLines;     // keys of the current read section
    for (const pt::Entry& entry : entries_) {
      const std::string name = Utf8(entry.name);
      if (entry.kind == pt::Entry::Kind::Section) {
        section = name;
        keyLines.clear();
        const auto [it, first] = sectionLines.emplace(AsciiLower(entry.name), entry.line);
        if (!first) {
          state = State::Repeated;
          firstLine = it->second;
          Add(Finding::Severity::Warning, entry.line,
              "section [" + name + "] appears again (first on line " + std::to_string(firstLine) +
                  "); only the first is read, so every key below it is ignored");
        } else if (IsKnownSection(entry.name)) {
          state = State::Read;
          result_.knownSection = true;
        } else {
          state = State::Unknown;
          const std::string_view nearest = NearestName(name, sectionNames);
          Add(Finding::Severity::Warning, entry.line,
              "unknown section [" + name + "]: the add-in never reads it" +
                  (nearest.empty() ? std::string()
                                   : "; did you mean [" + std::string(nearest) + "]?"));
        }
        continue;
      }
      const Setting* setting = FindSetting(entry.name);
      const MemberInfo* member = FindMember(entry.name);
      switch (state) {
      case State::BeforeAny:
        Add(Finding::Severity::Warning, entry.line,
            "key " + name + " stands before any section and is never read");
        break;
      case State::Repeated:
        if (setting)
          Add(Finding::Severity::Warning, entry.line,
              name + " is ignored: only the first [" + section + "] section (line " +
                  std::to_string(firstLine) + ") is read");
        break;
      case State::Unknown:
        if (setting)
          Add(Finding::Severity::Warning, entry.line,
              name + " is ignored here: the add-in reads it from section [" +
                  std::string(setting->section) + "]");
        break;
      case State::Read:
        CheckKey(entry, name, section, setting, member, keyLines);
        break;
      }
    }
  }

  void CheckKey(const pt::Entry& entry, const std::string& name, const std::string& section,
                const Setting* setting, const MemberInfo* member,
                std::map<std::string, std::size_t>& keyLines) {
    const auto [it, first] = keyLines.emplace(AsciiLower(entry.name), entry.line);
    if (!first) {
      Add(Finding::Severity::Warning, entry.line,
          name + " appears again in [" + section + "] (first on line " +
              std::to_string(it->second) + "); the first value is the one read");
      return;
    }
    if (setting && EqualsIgnoringAsciiCase(setting->section, section))
      return; // a setting in its own section: its value is checked with the load
    if (setting) {
      Add(Finding::Severity::Warning, entry.line,
          name + " is ignored here: the add-in reads it from section [" +
              std::string(setting->section) + "]");
      return;
    }
    if (member) {
      Add(Finding::Severity::Warning, entry.line,
          name +
              " is not read from the settings file: it is a parts-list member that a client "
              "sets on the class (vantelo partslist --set " +
              std::string(member->name) + "=...)");
      return;
    }
    // A misspelling of a key of this section, else of any setting's key.
    std::vector<std::string_view> keys;
    for (const Setting& s : SettingsCatalogue())
      if (EqualsIgnoringAsciiCase(s.section, section))
        keys.push_back(s.Key());
    std::string_view nearest = NearestName(name, keys);
    if (nearest.empty()) {
      keys.clear();
      for (const Setting& s : SettingsCatalogue())
        keys.push_back(s.Key());
      nearest = NearestName(name, keys);
    }
    Add(Finding::Severity::Warning, entry.line,
        "unknown key " + name + " in [" + section + "]: the add-in never reads it" +
            (nearest.empty() ? std::string() : "; did you mean " + std::string(nearest) + "?"));
  }

  // Each setting as a save loads it, through the add-in's own reading, on
  // the text read (under a name the ANSI code page holds, whatever the
  // file's own: no profile function opens it).
  void LoadSettings() {
    auto profile = std::make_shared<ReadOnlyProfileFile>(document_, kFileInMemory);
    PlatformChoice choice;
    choice.profile = profile;
    choice.regional = regional_;
    clsVantelo addin(ProgramPlatform(std::move(choice)));
    const std::string decimalSeparator = regional_->DecimalSeparator();
    bool failedBefore = false;
    std::vector<std::string> missing;

    for (const Setting& setting : SettingsCatalogue()) {
      CheckedSetting checked;
      checked.setting = &setting;
      std::string section(setting.section), key(setting.Key()), defaultText(setting.defaultText);
      std::string file = kFileInMemory;
      checked.value = addin.GetFromINI(section, key, defaultText, file);
      checked.fromFile = profile->lastCount != 0;
      const std::optional<pt::Entry> entry = EntryOf(setting);
      if (entry)
        checked.line = entry->line;
      const std::string label = std::string(setting.Key());

      try {
        SetMemberFromText(addin, setting.member, checked.value, decimalSeparator);
      } catch (const Failure& failure) {
        checked.converts = false;
        Add(Finding::Severity::Error, checked.line,
            label + ": " + Quoted(checked.value) + " is not " +
                MemberTypeText(setting.member.type) + " (" + failure.what() + ")" +
                (failedBefore ? std::string()
                              : ": every save fails here, before any writer runs, and the "
                                "settings after it are not loaded"));
        failedBefore = true;
      }
      if (entry)
        CheckValue(setting, *entry, checked, label);
      else if (result_.exists && !setting.defaultText.empty())
        missing.push_back(label);
      if (checked.converts && setting.member.type == MemberType::Integer &&
          addin.*setting.member.integer < 0)
        Add(Finding::Severity::Warning, checked.line,
            label + " is negative: rounding refuses a negative number of decimals, so the "
                    "value it formats is not written");
      result_.settings.push_back(std::move(checked));
    }
    if (!missing.empty()) {
      std::string list;
      for (const std::string& key : missing)
        list += (list.empty() ? "" : ", ") + key;
      Add(Finding::Severity::Note, std::nullopt,
          "not in the file, so a save uses the default and writes it into the file: " + list);
    }
  }

  void CheckValue(const Setting& setting, const pt::Entry& entry, const CheckedSetting& checked,
                  const std::string& label) {
    if (entry.value.empty() && !setting.defaultText.empty()) {
      if (setting.defaultText.find_first_not_of(' ') == std::string_view::npos)
        Add(Finding::Severity::Note, entry.line,
            label + " reads as empty (blanks around a value are dropped), so the default " +
                Quoted(setting.defaultText) +
                " is used and written again at every save; write it in quotation marks to keep "
                "blanks");
      else
        Add(Finding::Severity::Warning, entry.line,
            label + " is empty: the default " + Quoted(setting.defaultText) +
                " is used instead and written back at every save");
    }
    if (entry.value.size() > 254)
      Add(Finding::Severity::Warning, entry.line,
          label + ": the value is " + std::to_string(entry.value.size()) +
              " bytes long; the add-in reads only its first 254");
    if (!document_.IsUnicode() && LooksLikeUtf8(entry.value))
      Add(Finding::Severity::Warning, entry.line,
          label +
              ": the value looks like UTF-8 text, but the add-in reads the file in the "
              "ANSI code page (Windows-1252) and so reads " +
              Quoted(checked.value));
  }

  // The line a read of the setting finds: the first key of its name in the
  // first section of its name.
  std::optional<pt::Entry> EntryOf(const Setting& setting) const {
    const auto it =
        settingEntries_.find(AsciiLower(setting.section) + "\n" + AsciiLower(setting.Key()));
    return it == settingEntries_.end() ? std::nullopt : std::optional(it->second);
  }

  // The entry a read finds for every key of a first section, in one pass.
  void IndexEntries() {
    entries_ = pt::Entries(contents_);
    std::map<std::string, bool> seenSections;
    std::string section;
    bool first = false;
    for (const pt::Entry& entry : entries_) {
      if (entry.kind == pt::Entry::Kind::Section) {
        section = AsciiLower(entry.name);
        first = seenSections.emplace(section, true).second;
      } else if (first && FindSetting(entry.name)) {
        settingEntries_.emplace(section + "\n" + AsciiLower(entry.name), entry);
      }
    }
  }

  static bool IsKnownSection(std::string_view name) {
    for (std::string_view section : SettingsSections())
      if (EqualsIgnoringAsciiCase(section, name))
        return true;
    return false;
  }

  static const Setting* FindSetting(std::string_view key) {
    for (const Setting& setting : SettingsCatalogue())
      if (EqualsIgnoringAsciiCase(setting.Key(), key))
        return &setting;
    return nullptr;
  }

  std::shared_ptr<RegionalSettings> regional_;
  std::optional<std::string> given_;
  std::shared_ptr<AnsiCodePage> codePage_ = AddinCodePage();
  ProfileDocument document_{""};
  std::string contents_; // the text as the add-in reads it, in ANSI
  std::vector<pt::Entry> entries_;
  std::map<std::string, pt::Entry> settingEntries_; // "section\nkey", lower case

  SettingsCheck result_;
};

} // namespace

bool SettingsCheck::SaveFails() const {
  return std::any_of(settings.begin(), settings.end(),
                     [](const CheckedSetting& s) { return !s.converts; });
}

SettingsCheck CheckSettingsFile(const std::string& path,
                                std::shared_ptr<RegionalSettings> regional) {
  return Checker(path, std::move(regional)).Run();
}

SettingsCheck CheckSettingsText(const std::string& path, std::string bytes,
                                std::shared_ptr<RegionalSettings> regional) {
  return Checker(path, std::move(regional), std::move(bytes)).Run();
}

std::string SeverityName(Finding::Severity severity) {
  switch (severity) {
  case Finding::Severity::Error:
    return "error";
  case Finding::Severity::Warning:
    return "warning";
  case Finding::Severity::Note:
    break;
  }
  return "note";
}

} // namespace vantelo::cli
