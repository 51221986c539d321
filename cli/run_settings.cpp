// vantelo settings init|check|get|set: the settings file as the add-in
// reads and writes it.
#include "cli/commands.h"
#include "cli/program_platform.h"
#include "cli/settings_check.h"
#include "cli/settings_check_report.h"
#include "cli/settings_location.h"
#include "cli/settings_tool.h"
#include "cli/text_table.h"
#include "platform/utf8_path.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <utility>

namespace vantelo::cli {
namespace {

using json = nlohmann::ordered_json;

void Print(const json& out, const std::string& table, OutputFormat format) {
  if (format == OutputFormat::Json)
    std::cout << out.dump(2) << "\n";
  else
    std::cout << table;
  std::cout.flush();
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

} // namespace

int RunSettingsInit(const SettingsArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const std::string path = SettingsPath(arguments.file, "FILE");
  RequireReadable(path);
  RequireWritable(path);
  const bool existed = std::filesystem::exists(PathFromUtf8(path));

  const InitResult result = InitSettingsFile(path, regional);
  json list = json::array();
  TextTable rows({"section", "key", "value"});
  for (const AddedSetting& setting : result.added) {
    list.push_back({{"section", setting.section}, {"key", setting.key}, {"value", setting.value}});
    rows.AddRow({"[" + setting.section + "]", setting.key, Quoted(setting.value)});
  }
  std::string table;
  if (!result.written) {
    table = "Could not write " + path + ": " + result.problem + "\n";
    table += rows.Empty() ? "" : "  Not written:\n" + rows.Render("  ");
    Print({{"settingsFile", path},
           {"created", false},
           {"written", false},
           {"problem", result.problem},
           {"added", json::array()},
           {"notWritten", list}},
          table, format);
    return 1;
  }
  table = (existed ? "Completed " : "Created ") + path + "\n";
  table += rows.Empty() ? "  nothing was missing\n" : rows.Render("  ");
  Print({{"settingsFile", path},
         {"created", !existed},
         {"written", true},
         {"added", list},
         {"notWritten", json::array()}},
        table, format);
  return 0;
}

int RunSettingsInstall(const SettingsArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const std::string path = SettingsPath(arguments.file, "FILE");
  std::optional<std::string> from;
  if (arguments.from)
    from = AbsolutePath(*arguments.from, "--from");
  RequireReachable(path);

  const InstallResult result = InstallSettingsFile(path, from, regional);
  json out = {{"settingsFile", path},
              {"created", result.created},
              {"from", from ? json(*from) : json(nullptr)}};
  std::string table;
  if (!result.written) {
    out["problem"] = result.problem;
    table = "Could not create " + path + ": " + result.problem + "\n";
  } else if (result.created) {
    table = "Created " + path +
            (from ? " from " + *from + ", completed with the defaults" : std::string()) + "\n";
  } else {
    table = path + " is there already and is left as it is\n";
  }
  Print(out, table, format);
  return result.written ? 0 : 1;
}

int RunSettingsCheck(const SettingsArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const std::string path = SettingsPath(arguments.file, "FILE");
  const SettingsCheck check = CheckSettingsFile(path, regional);
  const SettingsCheckReport report = ReportSettingsCheck(check);
  Print(report.json, report.table, format);
  return check.SaveFails() ? 1 : 0;
}

namespace {

// The file, section, key and value of get and set, each checked, and the
// file found readable; valueName is the value's name in the usage.
std::pair<std::string, std::string> CheckSettingArguments(const SettingsArguments& arguments,
                                                          const char* valueName) {
  std::string path = CheckedSettingsPath(arguments.file, "FILE");
  CheckSectionName(arguments.section);
  CheckKeyName(arguments.key);
  std::string value = arguments.value.value_or("");
  CheckValueText(value, valueName);
  RequireReadable(path);
  return {std::move(path), std::move(value)};
}

} // namespace

int RunSettingsGet(const SettingsArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const auto [path, defaultText] = CheckSettingArguments(arguments, "DEFAULT");

  const SettingRead read =
      GetSetting(path, arguments.section, arguments.key, defaultText, regional);
  json out = {{"settingsFile", path},
              {"section", arguments.section},
              {"key", arguments.key},
              {"value", read.value}};
  std::string table = read.value + "\n";
  if (!read.failedWrites.empty()) {
    // The value is the default, but the file still lacks it.
    const std::string warning = FailedWriteText(read.failedWrites.front(), path);
    out["warnings"] = json::array({warning});
    std::cerr << "vantelo: warning: " << warning << "\n";
  }
  Print(out, table, format);
  return read.failedWrites.empty() ? 0 : 1;
}

int RunSettingsSet(const SettingsArguments& arguments, const CommonOptions& common) {
  const OutputFormat format = ChooseFormat(common);
  auto regional = ChooseRegionalSettings(common);
  const auto [path, value] = CheckSettingArguments(arguments, "VALUE");
  RequireWritable(path);

  const SettingWrite write = SetSetting(path, arguments.section, arguments.key, value, regional);
  json out = {{"settingsFile", path},
              {"section", arguments.section},
              {"key", arguments.key},
              {"value", value},
              {"written", write.written}};
  if (!write.written)
    out["problem"] = write.problem;
  Print(out,
        write.written ? "[" + arguments.section + "] " + arguments.key + "=" + value +
                            " written to " + path + "\n"
                      : "Could not write " + path + ": " + write.problem + "\n",
        format);
  return write.written ? 0 : 1;
}

} // namespace vantelo::cli
