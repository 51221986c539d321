#include "cli/settings_check_report.h"

#include "cli/member_type_text.h"
#include "cli/text_table.h"

namespace vantelo::cli {
namespace {

using json = nlohmann::ordered_json;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A value for the table, shortened when long (the JSON has it whole).
std::string Shortened(const std::string& text) {
  constexpr std::size_t kLongest = 48;
  if (DisplayWidth(text) <= kLongest)
    return Quoted(text);
  std::size_t end = 0;
  for (std::size_t characters = 0; end < text.size() && characters < kLongest - 3; ++characters) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
      ++end;
  }
  return Quoted(text.substr(0, end)) + "... (" + std::to_string(text.size()) + " bytes)";
}

} // namespace

SettingsCheckReport ReportSettingsCheck(const SettingsCheck& check) {
  json settings = json::array();
  std::string table =
      "Settings file: " + check.path + (check.exists ? "" : " (does not exist)") + "\n";
  std::string_view section;
  TextTable rows({"key", "type", "value", "from"});
  for (const CheckedSetting& s : check.settings) {
    const Setting& setting = *s.setting;
    settings.push_back({{"section", setting.section},
                        {"key", setting.Key()},
                        {"type", MemberTypeName(setting.member.type)},
                        {"value", s.value},
                        {"source", s.fromFile ? "file" : "default"},
                        {"line", s.line ? json(*s.line) : json(nullptr)},
                        {"converts", s.converts}});
    if (setting.section != section) {
      section = setting.section;
      rows.AddRow({"[" + std::string(section) + "]"});
    }
    std::string from = s.fromFile ? "file, line " + std::to_string(s.line.value_or(0)) : "default";
    if (!s.converts)
      from += ", DOES NOT CONVERT";
    rows.AddRow({"  " + std::string(setting.Key()), MemberTypeName(setting.member.type),
                 Shortened(s.value), from});
  }
  table += rows.Render("");

  json findings = json::array();
  TextTable found({"", "line", "finding"});
  for (const Finding& finding : check.findings) {
    findings.push_back({{"severity", SeverityName(finding.severity)},
                        {"line", finding.line ? json(*finding.line) : json(nullptr)},
                        {"message", finding.message}});
    found.AddRow({SeverityName(finding.severity), finding.line ? std::to_string(*finding.line) : "",
                  finding.message});
  }
  table += "\n";
  table += found.Empty() ? "No findings.\n" : "Findings:\n" + found.Render("  ");
  if (check.SaveFails())
    table += "\n" + std::string(kEverySaveFails) + "\n";

  return {{{"settingsFile", check.path},
           {"exists", check.exists},
           {"status", check.SaveFails() ? "error" : "ok"},
           {"settings", settings},
           {"findings", findings}},
          table};
}

} // namespace vantelo::cli
