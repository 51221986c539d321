#include "cli/scene_loader.h"

#include "cli/date_text.h"
#include "cli/usage_error.h"

#include "addin/failure.h"
#include "addin/vb_conversions.h"
#include "platform/ascii_case.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <set>

namespace vantelo::cli {
namespace {

using json = nlohmann::json;

struct UnitName {
  std::string_view name;
  std::int32_t code;
};
constexpr std::array<UnitName, 3> kMassUnits{
    {{"kg", units::Kilogram}, {"g", units::Gram}, {"lbmass", units::PoundMass}}};
constexpr std::array<UnitName, 4> kLengthUnits{{{"mm", units::Millimeter},
                                                {"cm", units::Centimeter},
                                                {"m", units::Meter},
                                                {"in", units::Inch}}};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string TypeName(const json& value) {
  switch (value.type()) {
  case json::value_t::null:
    return "null";
  case json::value_t::object:
    return "an object";
  case json::value_t::array:
    return "an array";
  case json::value_t::string:
    return "a string";
  case json::value_t::boolean:
    return "true/false";
  case json::value_t::number_float:
    return "a number with a fraction";
  case json::value_t::number_integer:
  case json::value_t::number_unsigned:
    return "a whole number";
  default:
    return "a value of another kind";
  }
}

// Walks the JSON tree with the path of the current value, for messages.
class Reader {
public:
  explicit Reader(std::string sourceName) : source_(std::move(sourceName)) {}

  [[noreturn]] void Fail(const std::string& path, const std::string& what) const {
    throw UsageError(source_ + ": " + (path.empty() ? "the scene" : path) + ": " + what);
  }

  [[noreturn]] void WrongType(const json& value, const std::string& path,
                              const std::string& expected) const {
    Fail(path, "expected " + expected + ", got " + TypeName(value));
  }

  void RequireObject(const json& value, const std::string& path,
                     std::initializer_list<std::string_view> fields) const {
    if (!value.is_object())
      WrongType(value, path, "an object");
    for (const auto& [key, member] : value.items()) {
      bool known = false;
      for (std::string_view field : fields)
        known = known || key == field;
      if (!known) {
        std::string list;
        for (std::string_view field : fields)
          list += (list.empty() ? "" : ", ") + std::string(field);
        Fail(Join(path, key), "unknown field; the fields here are: " + list);
      }
    }
  }

  const json& RequireArray(const json& value, const std::string& path) const {
    if (!value.is_array())
      WrongType(value, path, "an array");
    return value;
  }

  // Calls read(item, itemPath) for each item of the array in the optional
  // field `field` of `object` (at `path`); does nothing when it is absent.
  template <typename Read>
  void ForEachItem(const json& object, const std::string& path, const std::string& field,
                   Read read) const {
    if (!object.contains(field))
      return;
    const std::string listPath = Join(path, field);
    const json& items = RequireArray(object[field], listPath);
    for (std::size_t i = 0; i < items.size(); ++i)
      read(items[i], Index(listPath, i));
  }

  std::string Text(const json& value, const std::string& path) const {
    if (!value.is_string())
      WrongType(value, path, "a string");
    return value.get<std::string>();
  }

  std::int32_t WholeNumber(const json& value, const std::string& path) const {
    if (!value.is_number_integer())
      WrongType(value, path, "a whole number");
    if (value.is_number_unsigned()) {
      if (value.get<std::uint64_t>() > std::numeric_limits<std::int32_t>::max())
        Fail(path, "the number is too large (at most 2147483647)");
    } else {
      const auto number = value.get<std::int64_t>();
      if (number < std::numeric_limits<std::int32_t>::min() ||
          number > std::numeric_limits<std::int32_t>::max())
        Fail(path, "the number is out of range (-2147483648 to 2147483647)");
    }
    return static_cast<std::int32_t>(value.get<std::int64_t>());
  }

  double Number(const json& value, const std::string& path) const {
    if (!value.is_number())
      WrongType(value, path, "a number");
    return value.get<double>();
  }

  static std::string Join(const std::string& path, std::string_view key) {
    return path.empty() ? std::string(key) : path + "." + std::string(key);
  }
  static std::string Index(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
  }

private:
  std::string source_;
};

// Finds the first key given twice in one object, with its path; the parser
// itself would silently keep only one of the two values.
class DuplicateKeyFinder {
public:
  bool operator()(int /*depth*/, json::parse_event_t event, json& parsed) {
    switch (event) {
    case json::parse_event_t::object_start:
      stack_.push_back({false, 0, {}, {}});
      break;
    case json::parse_event_t::array_start:
      stack_.push_back({true, 0, {}, {}});
      break;
    case json::parse_event_t::key: {
      Frame& frame = stack_.back();
      frame.key = parsed.get<std::string>();
      if (!frame.keys.insert(frame.key).second && duplicate_.empty())
        duplicate_ = Path();
      break;
    }
    case json::parse_event_t::object_end:
    case json::parse_event_t::array_end:
      stack_.pop_back();
      ElementDone();
      break;
    case json::parse_event_t::value:
      ElementDone();
      break;
    }
    return true;
  }

  const std::string& Duplicate() const { return duplicate_; }

private:
  struct Frame {
    bool array;
    std::size_t index;
    std::string key;
    std::set<std::string> keys;
  };

  void ElementDone() {
    if (!stack_.empty() && stack_.back().array)
      ++stack_.back().index;
  }

  std::string Path() const {
    std::string path;
    for (const Frame& frame : stack_)
      path = frame.array ? Reader::Index(path, frame.index) : Reader::Join(path, frame.key);
    return path;
  }

  std::vector<Frame> stack_;
  std::string duplicate_;
};

// Line and column of the byte at offset end, as "line:column".
std::string Place(std::string_view text, std::size_t end) {
  end = std::min(end, text.size());
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return std::to_string(line) + ":" + std::to_string(column);
}

json ParseJson(std::string_view text, const std::string& sourceName) {
  DuplicateKeyFinder finder;
  json root;
  try {
    root = json::parse(text.begin(), text.end(), std::ref(finder), true, true);
  } catch (const json::parse_error& error) {
    // Line and column of the byte where the parser stopped.
    const std::size_t end =
        std::min<std::size_t>(error.byte == 0 ? 0 : error.byte - 1, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < end; ++i) {
      if (text[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    std::string detail = error.what();
    if (const auto at = detail.find(": "); at != std::string::npos)
      detail = detail.substr(at + 2);
    throw UsageError(sourceName + ":" + std::to_string(line) + ":" + std::to_string(column) +
                     ": malformed JSON: " + detail);
  } catch (const json::out_of_range& error) {
    // A number beyond the range of a double (1e400): the parser names the
    // number but not its place, so point at its first occurrence.
    std::string detail = error.what();
    if (const auto at = detail.find("] "); at != std::string::npos)
      detail = detail.substr(at + 2);
    std::size_t end = 0;
    if (const auto open = detail.find('\''); open != std::string::npos) {
      const std::string number = detail.substr(open + 1, detail.find('\'', open + 1) - open - 1);
      end = text.find(number);
    }
    throw UsageError(sourceName + ":" + Place(text, end) + ": malformed JSON: " + detail);
  }
  if (!finder.Duplicate().empty())
    throw UsageError(sourceName + ": " + finder.Duplicate() +
                     ": the field is given twice in the same object");
  return root;
}

bool IsFormatId(std::string_view text) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (text.size() != 38 || text.front() != '{' || text.back() != '}')
    return false;
  for (std::size_t i = 1; i < 37; ++i) {
    const char c = text[i];
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c)))
      return false;
  }
  return true;
}

template <std::size_t N>
std::int32_t UnitCode(const Reader& r, const json& value, const std::string& path,
                      const std::array<UnitName, N>& names) {
  if (value.is_string()) {
    for (const UnitName& unit : names)
      if (value.get<std::string>() == unit.name)
        return unit.code;
    std::string list;
    for (const UnitName& unit : names)
      list += (list.empty() ? "" : ", ") + Quoted(unit.name);
    r.Fail(path, "unknown unit " + Quoted(value.get<std::string>()) + "; expected " + list +
                     " or a whole number (a host unit code)");
  }
  if (!value.is_number_integer())
    r.WrongType(value, path, "a unit name or a whole number (a host unit code)");
  return r.WholeNumber(value, path);
}

sim::UnitsData ReadUnits(const Reader& r, const json& value, const std::string& path) {
  r.RequireObject(value, path, {"mass", "length", "displayDecimals"});
  sim::UnitsData units;
  if (value.contains("mass"))
    units.massUnits = UnitCode(r, value["mass"], Reader::Join(path, "mass"), kMassUnits);
  if (value.contains("length"))
    units.lengthUnits = UnitCode(r, value["length"], Reader::Join(path, "length"), kLengthUnits);
  if (value.contains("displayDecimals"))
    units.displayPrecision =
        r.WholeNumber(value["displayDecimals"], Reader::Join(path, "displayDecimals"));
  return units;
}

sim::MassPropertiesData ReadMassProperties(const Reader& r, const json& value,
                                           const std::string& path) {
  r.RequireObject(value, path, {"mass", "volume"});
  sim::MassPropertiesData mass;
  if (value.contains("mass"))
    mass.mass = r.Number(value["mass"], Reader::Join(path, "mass"));
  if (value.contains("volume"))
    mass.volume = r.Number(value["volume"], Reader::Join(path, "volume"));
  return mass;
}

sim::PointData ReadPoint(const Reader& r, const json& value, const std::string& path) {
  r.RequireArray(value, path);
  if (value.size() < 2 || value.size() > 3)
    r.Fail(path, "expected 2 or 3 coordinates (centimetres), got " + std::to_string(value.size()));
  sim::PointData point;
  point.x = r.Number(value[0], Reader::Index(path, 0));
  point.y = r.Number(value[1], Reader::Index(path, 1));
  if (value.size() == 3)
    point.z = r.Number(value[2], Reader::Index(path, 2));
  return point;
}

sim::SheetMetalData ReadSheetMetal(const Reader& r, const json& value, const std::string& path) {
  r.RequireObject(value, path, {"thickness", "thicknessUnit", "style", "flatPattern"});
  sim::SheetMetalData sheetMetal;
  if (value.contains("thickness"))
    sheetMetal.thickness = r.Number(value["thickness"], Reader::Join(path, "thickness"));
  if (value.contains("thicknessUnit"))
    sheetMetal.thicknessUnits = r.Text(value["thicknessUnit"], Reader::Join(path, "thicknessUnit"));
  if (value.contains("style"))
    sheetMetal.styleName = r.Text(value["style"], Reader::Join(path, "style"));
  if (value.contains("flatPattern") && !value["flatPattern"].is_null()) {
    const std::string flatPath = Reader::Join(path, "flatPattern");
    const json& flat = value["flatPattern"];
    r.RequireObject(flat, flatPath, {"min", "max"});
    if (!flat.contains("min") || !flat.contains("max"))
      r.Fail(flatPath, "needs both corners, \"min\" and \"max\" (null: no flat pattern)");
    sheetMetal.flatPattern =
        sim::FlatPatternData{ReadPoint(r, flat["min"], Reader::Join(flatPath, "min")),
                             ReadPoint(r, flat["max"], Reader::Join(flatPath, "max"))};
  }
  return sheetMetal;
}

std::int32_t ReadPaperSize(const Reader& r, const json& value, const std::string& path) {
  if (value.is_string()) {
    const std::string name = vb::UpperCase(value.get<std::string>());
    for (const PaperSizeCode& paper : kPaperSizes)
      if (name == paper.text)
        return paper.code;
    std::string list;
    for (const PaperSizeCode& paper : kPaperSizes)
      list += (list.empty() ? "" : ", ") + std::string(paper.text);
    r.Fail(path, "unknown paper name " + Quoted(value.get<std::string>()) + "; expected one of " +
                     list + " or a whole number (a host size code)");
  }
  if (!value.is_number_integer())
    r.WrongType(value, path, "a paper name or a whole number (a host size code)");
  return r.WholeNumber(value, path);
}

sim::PartsListData ReadPartsList(const Reader& r, const json& value, const std::string& path) {
  r.RequireObject(value, path, {"columns", "rows"});
  sim::PartsListData list;
  r.ForEachItem(value, path, "columns", [&](const json& column, const std::string& columnPath) {
    list.columns.push_back(r.Text(column, columnPath));
  });
  r.ForEachItem(value, path, "rows", [&](const json& item, const std::string& rowPath) {
    const json& row = r.RequireArray(item, rowPath);
    if (row.size() != list.columns.size())
      r.Fail(rowPath, "has " + std::to_string(row.size()) + " cells but the parts list has " +
                          std::to_string(list.columns.size()) + " columns");
    std::vector<std::string> cells;
    for (std::size_t j = 0; j < row.size(); ++j)
      cells.push_back(r.Text(row[j], Reader::Index(rowPath, j)));
    list.rows.push_back(std::move(cells));
  });
  return list;
}

sim::SheetData ReadSheet(const Reader& r, const json& value, const std::string& path) {
  r.RequireObject(value, path, {"size", "views", "partsLists"});
  sim::SheetData sheet;
  if (value.contains("size"))
    sheet.size = ReadPaperSize(r, value["size"], Reader::Join(path, "size"));
  r.ForEachItem(value, path, "views", [&](const json& view, const std::string& viewPath) {
    sheet.viewScales.push_back(r.Number(view, viewPath));
  });
  r.ForEachItem(value, path, "partsLists", [&](const json& list, const std::string& listPath) {
    sheet.partsLists.push_back(ReadPartsList(r, list, listPath));
  });
  return sheet;
}

Value ReadPropertyValue(const Reader& r, const json& value, const std::string& path) {
  switch (value.type()) {
  case json::value_t::null:
    return Empty{};
  case json::value_t::string:
    return value.get<std::string>();
  case json::value_t::boolean:
    return value.get<bool>();
  case json::value_t::number_float:
    return value.get<double>();
  case json::value_t::number_integer:
  case json::value_t::number_unsigned:
    if (value.is_number_unsigned() ? value.get<std::uint64_t>() <= 2147483647u
                                   : (value.get<std::int64_t>() >= -2147483648LL &&
                                      value.get<std::int64_t>() <= 2147483647LL))
      return static_cast<std::int32_t>(value.get<std::int64_t>());
    return value.get<double>();
  case json::value_t::object: {
    r.RequireObject(value, path, {"date"});
    if (!value.contains("date"))
      r.Fail(path, "a date value is written {\"date\": \"2026-01-31\"}");
    const std::string datePath = Reader::Join(path, "date");
    const std::string text = r.Text(value["date"], datePath);
    const auto when = ParseDateTime(text);
    if (!when)
      r.Fail(datePath,
             "not a date: " + Quoted(text) + "; expected 2026-01-31 or 2026-01-31T09:05:00");
    return vb::ToDate(*when);
  }
  default:
    r.WrongType(value, path, "a string, a number, true/false, null or {\"date\": ...}");
  }
}

sim::PropertySetData ReadPropertySet(const Reader& r, const json& value, const std::string& path) {
  r.RequireObject(value, path, {"fmtid", "properties"});
  if (!value.contains("fmtid"))
    r.Fail(path, "the field \"fmtid\" is missing (the set's format identifier)");
  sim::PropertySetData set;
  set.formatId = r.Text(value["fmtid"], Reader::Join(path, "fmtid"));
  if (!IsFormatId(set.formatId))
    r.Fail(Reader::Join(path, "fmtid"),
           "not a format identifier: " + Quoted(set.formatId) +
               "; expected the form {D5CDD505-2E9C-101B-9397-08002B2CF9AE}");
  if (!value.contains("properties"))
    return set;
  const std::string listPath = Reader::Join(path, "properties");
  const json& properties = r.RequireArray(value["properties"], listPath);
  // Identifiers are checked first, so properties without one get theirs
  // after every given one is known.
  std::vector<sim::PropertyData> read;
  std::set<std::int32_t> ids;
  for (std::size_t i = 0; i < properties.size(); ++i) {
    const std::string itemPath = Reader::Index(listPath, i);
    const json& item = properties[i];
    r.RequireObject(item, itemPath, {"id", "name", "value"});
    if (!item.contains("name"))
      r.Fail(itemPath, "the field \"name\" is missing");
    sim::PropertyData property;
    property.name = r.Text(item["name"], Reader::Join(itemPath, "name"));
    for (const auto& earlier : read)
      if (EqualsIgnoringAsciiCase(earlier.name, property.name))
        r.Fail(Reader::Join(itemPath, "name"),
               "the set has a property named " + Quoted(earlier.name) +
                   " already (names are compared ignoring letter case)");
    if (item.contains("id")) {
      const std::string idPath = Reader::Join(itemPath, "id");
      property.id = r.WholeNumber(item["id"], idPath);
      if (property.id < 2)
        r.Fail(idPath, "property identifiers start at 2 (0 and 1 are reserved)");
      if (!ids.insert(property.id).second)
        r.Fail(idPath, "the set has a property with identifier " + std::to_string(property.id) +
                           " already");
    }
    if (item.contains("value"))
      property.value = ReadPropertyValue(r, item["value"], Reader::Join(itemPath, "value"));
    read.push_back(std::move(property));
  }
  for (std::size_t i = 0; i < read.size(); ++i) {
    try {
      set.properties.Add(std::move(read[i]));
    } catch (const Failure& failure) {
      r.Fail(Reader::Index(listPath, i), failure.what());
    }
  }
  return set;
}

std::int32_t ReadDocumentType(const Reader& r, const json& value, const std::string& path) {
  if (value.is_string()) {
    const std::string name = value.get<std::string>();
    if (name == "part")
      return document_type::Part;
    if (name == "assembly")
      return document_type::Assembly;
    if (name == "drawing")
      return document_type::Drawing;
    r.Fail(path, "unknown document type " + Quoted(name) +
                     "; expected \"part\", \"assembly\", \"drawing\" or a whole number (a host "
                     "type code)");
  }
  if (!value.is_number_integer())
    r.WrongType(value, path, "\"part\", \"assembly\", \"drawing\" or a whole number");
  return r.WholeNumber(value, path);
}

sim::DocumentData ReadDocument(const Reader& r, const json& value, const std::string& path,
                               std::size_t index) {
  r.RequireObject(value, path,
                  {"name", "type", "subtype", "versionNumber", "units", "massProperties",
                   "sheetMetal", "sheets", "activeSheet", "propertySets"});
  sim::DocumentData document;
  document.name = value.contains("name") ? r.Text(value["name"], Reader::Join(path, "name"))
                                         : "Document" + std::to_string(index + 1);
  if (value.contains("type"))
    document.type = ReadDocumentType(r, value["type"], Reader::Join(path, "type"));
  if (value.contains("versionNumber"))
    document.versionNumber =
        r.WholeNumber(value["versionNumber"], Reader::Join(path, "versionNumber"));
  if (value.contains("units"))
    document.units = ReadUnits(r, value["units"], Reader::Join(path, "units"));
  if (value.contains("massProperties") && !value["massProperties"].is_null())
    document.massProperties =
        ReadMassProperties(r, value["massProperties"], Reader::Join(path, "massProperties"));
  if (value.contains("sheetMetal") && !value["sheetMetal"].is_null())
    document.sheetMetal = ReadSheetMetal(r, value["sheetMetal"], Reader::Join(path, "sheetMetal"));
  // A part's subtype says whether it is a sheet-metal part; without one it
  // follows from whether sheet-metal data is given.
  if (value.contains("subtype"))
    document.subType = r.Text(value["subtype"], Reader::Join(path, "subtype"));
  else if (document.type == document_type::Part)
    document.subType = document.sheetMetal ? subtype::SheetMetalPart : subtype::Part;
  if (value.contains("sheets")) {
    const std::string sheetsPath = Reader::Join(path, "sheets");
    const json& sheets = r.RequireArray(value["sheets"], sheetsPath);
    if (sheets.size() > 32767)
      r.Fail(sheetsPath, "too many sheets (at most 32767)");
    for (std::size_t i = 0; i < sheets.size(); ++i)
      document.sheets.push_back(ReadSheet(r, sheets[i], Reader::Index(sheetsPath, i)));
  }
  if (value.contains("activeSheet")) {
    const std::string activePath = Reader::Join(path, "activeSheet");
    const std::int32_t number = r.WholeNumber(value["activeSheet"], activePath);
    if (number < 1 || static_cast<std::size_t>(number) > document.sheets.size())
      r.Fail(activePath, document.sheets.empty() ? "the document has no sheets"
                                                 : "expected a sheet number from 1 to " +
                                                       std::to_string(document.sheets.size()) +
                                                       ", got " + std::to_string(number));
    document.activeSheet = static_cast<std::size_t>(number - 1);
  }
  if (value.contains("propertySets")) {
    const std::string setsPath = Reader::Join(path, "propertySets");
    const json& sets = r.RequireArray(value["propertySets"], setsPath);
    document.propertySets.clear();
    for (std::size_t i = 0; i < sets.size(); ++i) {
      const std::string setPath = Reader::Index(setsPath, i);
      sim::PropertySetData set = ReadPropertySet(r, sets[i], setPath);
      if (document.PropertySet(set.formatId))
        r.Fail(Reader::Join(setPath, "fmtid"),
               "the document has a set " + set.formatId + " already");
      document.propertySets.push_back(std::move(set));
    }
  }
  return document;
}

} // namespace

Scene ParseScene(std::string_view text, const std::string& sourceName) {
  const json root = ParseJson(text, sourceName);
  const Reader r(sourceName);
  r.RequireObject(root, "", {"active", "documents"});
  if (!root.contains("documents"))
    r.Fail("", "the field \"documents\" is missing");
  const json& documents = r.RequireArray(root["documents"], "documents");

  Scene scene;
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const std::string path = Reader::Index("documents", i);
    sim::DocumentData document = ReadDocument(r, documents[i], path, i);
    for (const auto& earlier : scene.documents)
      if (earlier.name == document.name)
        r.Fail(Reader::Join(path, "name"),
               "another document is named " + Quoted(document.name) + " already");
    scene.documents.push_back(std::move(document));
  }

  if (!root.contains("active")) {
    if (!scene.documents.empty())
      scene.active = 0;
  } else if (!root["active"].is_null()) {
    const std::string name = r.Text(root["active"], "active");
    for (std::size_t i = 0; i < scene.documents.size() && !scene.active; ++i)
      if (scene.documents[i].name == name)
        scene.active = i;
    if (!scene.active)
      r.Fail("active", "no document is named " + Quoted(name));
  }
  return scene;
}

Scene LoadSceneFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw UsageError(path + ": is a directory, not a scene file");
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw UsageError(path + ": cannot open the scene file (" + std::strerror(errno) + ")");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    throw UsageError(path + ": cannot read the scene file");
  return ParseScene(text, path);
}

} // namespace vantelo::cli
