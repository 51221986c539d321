// What a run of the add-in left behind, as JSON (for scripts) or as a table
// (for people): the outcome, every document's property sets and parts lists,
// the status-bar text, the message boxes shown and the settings file used.
#pragma once

#include "cli/addin_session.h"
#include "cli/common_options.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace vantelo::cli {

// One operation of a run of several (the demo's).
struct Step {
  std::string operation; // "save", "command", "partslist"
  std::string document;  // the active document's name
  Outcome outcome;
};

// Points into the session it reports on, which must outlive it.
struct Report {
  std::string title; // what ran, for the table: "save Plate.ipt"
  Outcome outcome;
  std::span<const sim::DocumentData> before; // as the scene gave them
  std::vector<const sim::DocumentData*> after;
  std::string statusBar;
  std::vector<MessageRecord> messageBoxes;
  std::optional<std::string> settingsFile;
  std::vector<std::string> warnings; // settings-file writes that failed
  std::vector<Step> steps;           // only for a run of several operations
};

// The report of a session after its operations ran.
Report SessionReport(AddinSession& session, std::string title, Outcome outcome,
                     std::optional<std::string> settingsFile);

// The report as JSON, written a piece at a time.
void WriteReportJson(std::ostream& out, const Report& report);
// The report as tables for people.
void WriteReportTable(std::ostream& out, const Report& report);

// Writes the report to standard output in the format.
void PrintReport(const Report& report, OutputFormat format);

// "User-defined properties", "Design tracking properties" or "Property set".
std::string PropertySetTitle(std::string_view fmtid);

// A property value for people: texts in quotes, so blanks and empty texts
// show; dates as 2026-12-08, with the time when it is not midnight.
std::string ValueText(const Value& value);

// How a property of a set compares with the set before a run: Same, New,
// Changed (old is the one before) or Removed (property is the one before).
struct PropertyChange {
  enum class Kind { Same, New, Changed, Removed };
  Kind kind = Kind::Same;
  const sim::PropertyData& property;
  const sim::PropertyData* old = nullptr;
};
// Every property of the set in its order, then those removed from it.
std::vector<PropertyChange> CompareProperties(const sim::PropertySetData& after,
                                              const sim::PropertySetData* before);

// A property value in JSON: its type name ("text", "date", "double",
// "integer", "boolean", "empty") and the value.
std::string ValueTypeName(const Value& value);
nlohmann::ordered_json ValueJson(const Value& value);

} // namespace vantelo::cli
