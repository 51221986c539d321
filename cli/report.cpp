#include "cli/report.h"

#include "addin/float_chars.h"
#include "addin/vb_conversions.h"
#include "cli/date_text.h"
#include "cli/document_type_names.h"
#include "cli/json_stream.h"
#include "cli/text_table.h"
#include "platform/ascii_case.h"

#include <cmath>
#include <iostream>
#include <type_traits>
#include <unordered_map>

namespace vantelo::cli {
namespace {

using json = nlohmann::ordered_json;

std::string DocumentTypeName(std::int32_t type) {
  const auto name = NameOfDocumentType(type);
  return name ? std::string(*name) : std::to_string(type);
}

json DocumentTypeJson(std::int32_t type) {
  if (const auto name = NameOfDocumentType(type))
    return std::string(*name);
  return type;
}

// The sets of a document (none: no sets) by format identifier in lower case,
// so that a document of many sets is compared set by set in linear time.
std::unordered_map<std::string, const sim::PropertySetData*>
SetsByFormatId(const sim::DocumentData* document) {
  std::unordered_map<std::string, const sim::PropertySetData*> sets;
  if (document)
    for (const sim::PropertySetData& set : document->propertySets)
      sets.emplace(AsciiLower(set.formatId), &set);
  return sets;
}

} // namespace

std::string PropertySetTitle(std::string_view fmtid) {
  if (EqualsIgnoringAsciiCase(fmtid, fmtid::UserDefined))
    return "User-defined properties";
  if (EqualsIgnoringAsciiCase(fmtid, fmtid::DesignTracking))
    return "Design tracking properties";
  return "Property set";
}

namespace {

void WritePropertySet(std::ostream& out, const sim::PropertySetData& set,
                      const sim::PropertySetData* before) {
  out << "  " << PropertySetTitle(set.formatId) << " " << set.formatId << "\n";
  TextTable table({"id", "name", "type", "value", ""});
  table.AlignRight(0);
  for (const PropertyChange& change : CompareProperties(set, before)) {
    const sim::PropertyData& property = change.property;
    switch (change.kind) {
    case PropertyChange::Kind::Same:
    case PropertyChange::Kind::New:
    case PropertyChange::Kind::Changed:
      table.AddRow({std::to_string(property.id), property.name, ValueTypeName(property.value),
                    ValueText(property.value),
                    change.kind == PropertyChange::Kind::New ? "new"
                    : change.kind == PropertyChange::Kind::Changed
                        ? "changed, was " + ValueText(change.old->value)
                        : ""});
      break;
    case PropertyChange::Kind::Removed:
      table.AddRow({std::to_string(property.id), property.name, "", "",
                    "removed, was " + ValueText(property.value)});
      break;
    }
  }
  if (table.Empty())
    out << "    (no properties)\n";
  else
    table.Write(out, "    ");
}

void WritePartsList(std::ostream& out, const sim::PartsListData& list,
                    const sim::PartsListData* before, std::size_t sheet, std::size_t index) {
  out << "  Sheet " << sheet + 1 << ", parts list " << index + 1 << "\n";
  std::vector<std::string> header = list.columns;
  header.push_back("");
  TextTable table(header);
  for (std::size_t r = 0; r < list.rows.size(); ++r) {
    std::vector<std::string> cells = list.rows[r];
    cells.resize(list.columns.size());
    const bool changed = !before || r >= before->rows.size() || before->rows[r] != list.rows[r];
    cells.push_back(changed ? "changed" : "");
    table.AddRow(std::move(cells));
  }
  if (table.Empty())
    out << "    (no rows)\n";
  else
    table.Write(out, "    ");
}

} // namespace

std::string ValueText(const Value& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, Empty>)
          return "(empty)";
        else if constexpr (std::is_same_v<T, bool>)
          return v ? "True" : "False";
        else if constexpr (std::is_same_v<T, std::int16_t> || std::is_same_v<T, std::int32_t>)
          return std::to_string(v);
        else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
          return float_chars::ShortestText(v);
        else if constexpr (std::is_same_v<T, Date>)
          return FormatDateTime(vb::FromDate(v));
        else if constexpr (std::is_same_v<T, std::string>)
          return "\"" + v + "\"";
        else
          return "(object)";
      },
      value);
}

std::vector<PropertyChange> CompareProperties(const sim::PropertySetData& after,
                                              const sim::PropertySetData* before) {
  std::vector<PropertyChange> changes;
  for (const sim::PropertyData& property : after.properties) {
    const sim::PropertyData* old = before ? before->properties.Find(property.name) : nullptr;
    const auto kind = !old                              ? PropertyChange::Kind::New
                      : !(old->value == property.value) ? PropertyChange::Kind::Changed
                                                        : PropertyChange::Kind::Same;
    changes.push_back({kind, property, old});
  }
  if (before)
    for (const sim::PropertyData& property : before->properties)
      if (!after.properties.Find(property.name))
        changes.push_back({PropertyChange::Kind::Removed, property, nullptr});
  return changes;
}

std::string ValueTypeName(const Value& value) {
  switch (KindOf(value)) {
  case ValueKind::Empty:
    return "empty";
  case ValueKind::Boolean:
    return "boolean";
  case ValueKind::Integer:
  case ValueKind::Long:
    return "integer";
  case ValueKind::Single:
  case ValueKind::Double:
    return "double";
  case ValueKind::Date:
    return "date";
  case ValueKind::Text:
    return "text";
  case ValueKind::Object:
    break;
  }
  return "object";
}

json ValueJson(const Value& value) {
  return std::visit(
      [](const auto& v) -> json {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, Empty>)
          return nullptr;
        else if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>)
          return std::isfinite(v) ? json(static_cast<double>(v)) : json(nullptr);
        else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::int16_t> ||
                           std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::string>)
          return v;
        else if constexpr (std::is_same_v<T, Date>)
          return FormatDateTime(vb::FromDate(v));
        else
          return nullptr;
      },
      value);
}

Report SessionReport(AddinSession& session, std::string title, Outcome outcome,
                     std::optional<std::string> settingsFile) {
  Report report;
  report.title = std::move(title);
  report.outcome = std::move(outcome);
  report.before = session.DocumentsBefore();
  report.after = session.DocumentsNow();
  report.statusBar = session.Host().StatusBarText();
  report.messageBoxes = session.MessageBoxes();
  for (const FailedWrite& write : session.FailedWrites())
    report.warnings.push_back(FailedWriteText(write, settingsFile.value_or("the settings file")));
  report.settingsFile = std::move(settingsFile);
  return report;
}

void WriteReportJson(std::ostream& stream, const Report& report) {
  JsonStream out(stream);
  out.BeginObject();
  out.Key("status");
  out.Value(report.outcome.ok ? "ok" : "error");
  if (!report.outcome.ok) {
    out.Key("error");
    out.Value({{"code", HresultText(report.outcome.code)}, {"message", report.outcome.message}});
  }
  if (!report.steps.empty()) {
    json steps = json::array();
    for (const Step& step : report.steps) {
      json item = {{"operation", step.operation},
                   {"document", step.document},
                   {"status", step.outcome.ok ? "ok" : "error"}};
      if (!step.outcome.ok)
        item["error"] = {{"code", HresultText(step.outcome.code)},
                         {"message", step.outcome.message}};
      steps.push_back(std::move(item));
    }
    out.Key("steps");
    out.Value(steps);
  }
  // The documents a piece at a time: they can be many and large.
  out.Key("documents");
  out.BeginArray();
  for (const sim::DocumentData* document : report.after) {
    out.BeginObject();
    out.Key("name");
    out.Value(document->name);
    out.Key("type");
    out.Value(DocumentTypeJson(document->type));
    out.Key("propertySets");
    out.BeginArray();
    for (const sim::PropertySetData& set : document->propertySets) {
      out.BeginObject();
      out.Key("fmtid");
      out.Value(set.formatId);
      out.Key("properties");
      out.BeginArray();
      for (const sim::PropertyData& property : set.properties)
        out.Value({{"name", property.name},
                   {"id", property.id},
                   {"type", ValueTypeName(property.value)},
                   {"value", ValueJson(property.value)}});
      out.End();
      out.End();
    }
    out.End();
    out.Key("sheets");
    out.BeginArray();
    for (const sim::SheetData& sheet : document->sheets) {
      out.BeginObject();
      out.Key("partsLists");
      out.BeginArray();
      for (const sim::PartsListData& list : sheet.partsLists) {
        out.BeginObject();
        out.Key("rows");
        out.BeginArray();
        for (const std::vector<std::string>& row : list.rows)
          out.Value(row);
        out.End();
        out.End();
      }
      out.End();
      out.End();
    }
    out.End();
    out.End();
  }
  out.End();
  out.Key("statusBar");
  out.Value(report.statusBar);
  json boxes = json::array();
  for (const MessageRecord& box : report.messageBoxes)
    boxes.push_back({{"text", box.text}, {"style", box.style}, {"title", box.title}});
  out.Key("messageBoxes");
  out.Value(boxes);
  out.Key("settingsFile");
  out.Value(report.settingsFile ? json(*report.settingsFile) : json(nullptr));
  out.Key("warnings");
  out.Value(report.warnings);
  out.End();
  stream << "\n";
}

void WriteReportTable(std::ostream& out, const Report& report) {
  auto outcomeText = [](const Outcome& outcome) {
    return outcome.ok ? std::string("ok")
                      : "error " + HresultText(outcome.code) + ": " + outcome.message;
  };
  out << report.title << ": " << outcomeText(report.outcome) << "\n";
  for (const Step& step : report.steps)
    out << "  " << step.operation << " " << step.document << ": " << outcomeText(step.outcome)
        << "\n";
  if (report.settingsFile)
    out << "Settings file: " << *report.settingsFile << "\n";
  for (const std::string& warning : report.warnings)
    out << "Warning: " << warning << "\n";

  std::unordered_map<std::string_view, const sim::DocumentData*> documentsBefore;
  for (const sim::DocumentData& document : report.before)
    documentsBefore.emplace(document.name, &document);
  for (const sim::DocumentData* document : report.after) {
    const auto found = documentsBefore.find(document->name);
    const sim::DocumentData* before = found == documentsBefore.end() ? nullptr : found->second;
    out << "\n" << document->name << " (" << DocumentTypeName(document->type) << ")\n";
    const auto setsBefore = SetsByFormatId(before);
    for (const sim::PropertySetData& set : document->propertySets) {
      const auto old = setsBefore.find(AsciiLower(set.formatId));
      WritePropertySet(out, set, old == setsBefore.end() ? nullptr : old->second);
    }
    for (std::size_t s = 0; s < document->sheets.size(); ++s) {
      const auto& lists = document->sheets[s].partsLists;
      for (std::size_t p = 0; p < lists.size(); ++p) {
        const sim::PartsListData* old = nullptr;
        if (before && s < before->sheets.size() && p < before->sheets[s].partsLists.size())
          old = &before->sheets[s].partsLists[p];
        WritePartsList(out, lists[p], old, s, p);
      }
    }
  }
  out << "\nStatus bar: " << (report.statusBar.empty() ? "(empty)" : "\"" + report.statusBar + "\"")
      << "\n";
  if (report.messageBoxes.empty())
    out << "Message boxes: none\n";
  for (const MessageRecord& box : report.messageBoxes)
    out << "Message box (style " << box.style
        << (box.title.empty() ? std::string() : ", title \"" + box.title + "\"") << "): \""
        << box.text << "\"\n";
}

void PrintReport(const Report& report, OutputFormat format) {
  if (format == OutputFormat::Json)
    WriteReportJson(std::cout, report);
  else
    WriteReportTable(std::cout, report);
  std::cout.flush();
  for (const std::string& warning : report.warnings)
    std::cerr << "vantelo: warning: " << warning << "\n";
}

} // namespace vantelo::cli
