// The settings page's way into the add-in's own code: the page's script
// calls these, and every text it shows as what a save writes, every finding
// and every byte of the settings file comes from here, computed by the same
// functions as `vantelo save`, `settings check`, `settings set` and
// `settings init`, on the page's in-memory file system.
//
// Requests and answers are JSON texts; the settings file's bytes pass as
// Uint8Array.
#include "addin/host_codes.h"
#include "cli/commands.h"
#include "cli/program_platform.h"
#include "cli/report.h"
#include "cli/scene_loader.h"
#include "cli/settings_check.h"
#include "cli/settings_check_report.h"
#include "cli/settings_location.h"
#include "cli/settings_tool.h"
#include "cli/usage_error.h"
#include "profile/profile_document.h"
#include "profile/profile_text.h"
#include "profile/web/browser_file_system.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <nlohmann/json.hpp>

#include <exception>
#include <sstream>
#include <string>

namespace vantelo::web {
namespace {

using json = nlohmann::ordered_json;

// Answers as JSON text; a byte that is no UTF-8 (which no answer should
// hold) shows as U+FFFD rather than losing the whole answer.
std::string Text(const json& answer) {
  return answer.dump(-1, ' ', false, json::error_handler_t::replace);
}

// The settings file as it will be written, and the copy that each preview
// saves with: a save writes missing keys back, which must not reach the
// file being edited.
const std::string kEditedFile = "/Vantelo/Vantelo.ini";
const std::string kPreviewFile = "/Vantelo/Preview/Vantelo.ini";

std::shared_ptr<RegionalSettings> Regional(const json& request) {
  cli::CommonOptions options;
  options.decimalSeparator = request.at("decimalSeparator").get<std::string>();
  options.timeSeparator = request.at("timeSeparator").get<std::string>();
  return cli::ChooseRegionalSettings(options);
}

json Problem(const std::exception& error) { return {{"error", error.what()}}; }

// One change of the file, as `vantelo settings set` makes it: its checks of
// the section, key and value (a refused one changes nothing), then
// AddToINI.
json SetOne(const json& edit, const std::shared_ptr<RegionalSettings>& regional) {
  const std::string section = edit.at("section").get<std::string>();
  const std::string key = edit.at("key").get<std::string>();
  const std::string value = edit.at("value").get<std::string>();
  try {
    cli::CheckSectionName(section);
    cli::CheckKeyName(key);
    cli::CheckValueText(value, "VALUE");
  } catch (const cli::UsageError& error) {
    return {{"written", false}, {"refused", true}, {"problem", error.what()}};
  }
  const cli::SettingWrite write = cli::SetSetting(kEditedFile, section, key, value, regional);
  return {{"written", write.written}, {"refused", false}, {"problem", write.problem}};
}

// What `vantelo settings init` adds.
json AddMissingKeys(const std::shared_ptr<RegionalSettings>& regional) {
  const cli::InitResult init = cli::InitSettingsFile(kEditedFile, regional);
  json added = json::array();
  for (const cli::AddedSetting& setting : init.added)
    added.push_back({{"section", setting.section}, {"key", setting.key}, {"value", setting.value}});
  return {
      {"written", init.written}, {"refused", false}, {"problem", init.problem}, {"added", added}};
}

// Each setting's value as the file spells it, blanks around it dropped but
// quotation marks kept: the text that `settings set` would be given to
// write it so, and so what the page's text fields show and edit.
json SpelledValues(const cli::SettingsCheck& check, const std::optional<std::string>& bytes) {
  json spelled = json::object();
  if (!bytes)
    return spelled;
  const std::string text = ProfileDocument(*bytes).AnsiText();
  const auto entries = profile_text::Entries(text);
  const auto codePage = cli::AddinCodePage();
  for (const cli::CheckedSetting& setting : check.settings) {
    if (!setting.line)
      continue;
    for (const profile_text::Entry& entry : entries) {
      if (entry.line != *setting.line || entry.kind != profile_text::Entry::Kind::Key)
        continue;
      // A value that lost its quotation marks has one of them right before it.
      std::string value(entry.value);
      const char* before = entry.value.data() - 1;
      if (before >= text.data() && (*before == '"' || *before == '\''))
        value = *before + value + *before;
      spelled[std::string(setting.setting->Key())] = codePage->ToUtf8(value);
      break;
    }
  }
  return spelled;
}

json Check(const std::shared_ptr<RegionalSettings>& regional,
           const std::optional<std::string>& bytes) {
  const cli::SettingsCheck check = cli::CheckSettingsFile(kEditedFile, regional);
  json out = cli::ReportSettingsCheck(check).json;
  out["everySaveFails"] = check.SaveFails() ? json(cli::kEverySaveFails) : json(nullptr);
  out["spelled"] = SpelledValues(check, bytes);
  return out;
}

} // namespace

// The settings in load order with their sections, types and defaults (as
// `settings check` lists them for a file that does not exist), and the code
// pages the platform converts settings texts with.
std::string Catalogue() {
  try {
    const cli::SettingsCheck check =
        cli::CheckSettingsFile("/Vantelo/Catalogue/Vantelo.ini",
                               Regional({{"decimalSeparator", "."}, {"timeSeparator", ":"}}));
    json settings = cli::ReportSettingsCheck(check).json.at("settings");
    return Text({{"settings", settings}, {"codePages", {cli::AddinCodePageName()}}});
  } catch (const std::exception& error) {
    return Text(Problem(error));
  }
}

// The file as opened (exists false: there is none), then the edits in
// order: {section, key, value} as `settings set`, {addMissingKeys: true}
// as `settings init`. Then the check of the result, as `settings check`.
// The result stays in the page's file system for SettingsBytes and Preview.
std::string EditSettings(const std::string& original, bool exists, const std::string& request) {
  try {
    const json parsed = json::parse(request);
    const auto regional = Regional(parsed);
    const auto files = BrowserFileSystem();
    if (exists)
      files->PutFile(kEditedFile, original);
    else
      files->RemoveFile(kEditedFile);
    json results = json::array();
    for (const json& edit : parsed.at("edits"))
      results.push_back(edit.value("addMissingKeys", false) ? AddMissingKeys(regional)
                                                            : SetOne(edit, regional));
    const auto bytes = files->Contents(kEditedFile);
    return Text({{"exists", bytes.has_value()},
                 {"unicode", bytes && ProfileDocument(*bytes).IsUnicode()},
                 {"edits", results},
                 {"check", Check(regional, bytes)}});
  } catch (const std::exception& error) {
    return Text(Problem(error));
  }
}

// The settings file as EditSettings left it; null when there is none.
emscripten::val SettingsBytes() {
  const auto bytes = BrowserFileSystem()->Contents(kEditedFile);
  if (!bytes)
    return emscripten::val::null();
  const emscripten::val view = emscripten::val(emscripten::typed_memory_view(
      bytes->size(), reinterpret_cast<const unsigned char*>(bytes->data())));
  return emscripten::val::global("Uint8Array").new_(view); // a copy the script keeps
}

// One save of each scene with the settings file as EditSettings left it,
// as `vantelo save --settings ... --now ... --decimal-separator ...
// --time-separator ...` runs it. Request: {decimalSeparator, timeSeparator,
// now, scenes: [{name, text}]}. For each scene: the report `save` prints as
// JSON, and the properties of the active document that the save added,
// changed or removed, in each set's order.
std::string Preview(const std::string& request) {
  try {
    const json parsed = json::parse(request);
    const auto regional = Regional(parsed);
    const auto files = BrowserFileSystem();
    const auto edited = files->Contents(kEditedFile);
    json previews = json::array();
    for (const json& item : parsed.at("scenes")) {
      try {
        if (edited)
          files->PutFile(kPreviewFile, *edited);
        else
          files->RemoveFile(kPreviewFile);
        const cli::Scene scene =
            cli::ParseScene(item.at("text").get<std::string>(), item.at("name").get<std::string>());
        // The report points into the run: it is read while the run lasts.
        const auto use = [&](const cli::Report& report) {
          json changes = json::array();
          if (scene.active) {
            const sim::DocumentData& before = report.before[*scene.active];
            for (const sim::PropertySetData& set : report.after[*scene.active]->propertySets)
              for (const cli::PropertyChange& change :
                   cli::CompareProperties(set, before.PropertySet(set.formatId))) {
                if (change.kind == cli::PropertyChange::Kind::Same)
                  continue;
                const bool removed = change.kind == cli::PropertyChange::Kind::Removed;
                changes.push_back(
                    {{"fmtid", set.formatId},
                     {"set", cli::PropertySetTitle(set.formatId)},
                     {"name", change.property.name},
                     {"id", change.property.id},
                     {"change", removed                                         ? "removed"
                                : change.kind == cli::PropertyChange::Kind::New ? "new"
                                                                                : "changed"},
                     {"type", removed ? "" : cli::ValueTypeName(change.property.value)},
                     {"text", removed ? "" : cli::ValueText(change.property.value)},
                     {"was", removed      ? cli::ValueText(change.property.value)
                             : change.old ? cli::ValueText(change.old->value)
                                          : ""}});
              }
          }
          std::ostringstream reportJson;
          cli::WriteReportJson(reportJson, report);
          previews.push_back({{"report", json::parse(reportJson.str())}, {"changes", changes}});
        };
        cli::SaveScene(scene, cli::LocateSettings(kPreviewFile), regional,
                       cli::ChooseClock(parsed.at("now").get<std::string>()), event_timing::Before,
                       use);
      } catch (const std::exception& error) {
        previews.push_back(Problem(error));
      }
    }
    files->RemoveFile(kPreviewFile);
    return Text(previews);
  } catch (const std::exception& error) {
    return Text(Problem(error));
  }
}

EMSCRIPTEN_BINDINGS(vantelo_settings_page) {
  emscripten::function("catalogue", &Catalogue);
  emscripten::function("editSettings", &EditSettings);
  emscripten::function("settingsBytes", &SettingsBytes);
  emscripten::function("preview", &Preview);
}

} // namespace vantelo::web
