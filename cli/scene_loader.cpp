#include "cli/scene_loader.h"

#include "cli/date_text.h"
#include "cli/document_type_names.h"
#include "cli/usage_error.h"

#include "addin/failure.h"
#include "addin/vb_conversions.h"
#include "platform/ascii_case.h"
#include "platform/utf8_path.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <set>
#include <unordered_map>
#include <unordered_set>

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

// A number without a fractional part, however it is written: 7000, 7000.0,
// 7e3, or digits beyond the 64 bits the parser keeps as integers (which it
// keeps as a double).
bool IsWhole(const json& value) {
  if (value.is_number_integer())
    return true;
  if (!value.is_number_float())
    return false;
  const double number = value.get<double>();
  return std::isfinite(number) && std::trunc(number) == number;
}

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
  case json::value_t::number_integer:
  case json::value_t::number_unsigned:
    return IsWhole(value) ? "a whole number" : "a number with a fraction";
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
    if (!IsWhole(value))
      WrongType(value, path, "a whole number");
    // Any whole number converts to a double exactly enough to tell whether
    // it is in range; one that is converts back exactly.
    const double number = value.get<double>();
    if (number > std::numeric_limits<std::int32_t>::max())
      Fail(path, "the number is too large (at most 2147483647)");
    if (number < std::numeric_limits<std::int32_t>::min())
      Fail(path, "the number is out of range (-2147483648 to 2147483647)");
    return static_cast<std::int32_t>(number);
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

// A pointer into the text for the parser that also leaves, wherever the
// parser has its copy, how far it has read: the tree builder learns from it
// where a limit was passed.
class ReadingPosition {
public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  ReadingPosition() = default;
  ReadingPosition(const char* at, const char** read) : at_(at), read_(read) {}
  reference operator*() const { return *at_; }
  ReadingPosition& operator++() {
    *read_ = ++at_;
    return *this;
  }
  ReadingPosition operator++(int) {
    ReadingPosition before = *this;
    ++*this;
    return before;
  }
  bool operator==(const ReadingPosition& other) const { return at_ == other.at_; }

private:
  const char* at_ = nullptr;
  const char** read_ = nullptr;
};

// Builds the JSON tree from the parser's events, in time linear in the text
// (the parser's own filtering mode rescans a container after each value
// nested in it, which grows with the square of a long array). It stops at
// the first key given twice in one object, which the parser would silently
// let overwrite the first, and keeps the place and text of a syntax error.
// It also stops where the nesting or the number of values passes its limit,
// before the tree takes the memory of a scene far beyond any real one.
class TreeBuilder final : public nlohmann::json_sax<json> {
public:
  explicit TreeBuilder(std::string_view text) : text_(text), read_(text.data()) {}

  // The text to parse, from its first byte to its end.
  ReadingPosition Begin() { return {text_.data(), &read_}; }
  ReadingPosition End() { return {text_.data() + text_.size(), &read_}; }

  bool null() override { return Scalar(nullptr); }
  bool boolean(bool value) override { return Scalar(value); }
  bool number_integer(number_integer_t value) override { return Scalar(value); }
  bool number_unsigned(number_unsigned_t value) override { return Scalar(value); }
  bool number_float(number_float_t value, const string_t&) override { return Scalar(value); }
  bool string(string_t& value) override {
    // The parser's buffer has grown to the text, up to twice its length.
    value.shrink_to_fit();
    return Scalar(std::move(value));
  }
  bool binary(binary_t& value) override { return Scalar(json::binary(std::move(value))); }
  bool start_object(std::size_t) override { return Open(json::object()); }
  bool start_array(std::size_t) override { return Open(json::array()); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }

  bool key(string_t& key) override {
    if (!Counted())
      return false;
    if (open_.back().container->contains(key)) {
      duplicate_ = Reader::Join(PathOfOpen(), key);
      return false;
    }
    key_ = std::move(key);
    return true;
  }

  bool parse_error(std::size_t position, const std::string& token,
                   const json::exception& error) override {
    // A syntax error is at the last byte read; a number beyond the range of
    // a double (406) was read whole, so it starts a token's length back.
    errorAt_ = error.id == 406 ? position - std::min(position, token.size())
                               : (position == 0 ? 0 : position - 1);
    error_ = error.what();
    if (const auto at = error_.find("] "); at != std::string::npos)
      error_ = error_.substr(at + 2);
    if (error_.rfind("parse error", 0) == 0)
      if (const auto at = error_.find(": "); at != std::string::npos)
        error_ = error_.substr(at + 2);
    return false;
  }

  json& Root() { return root_; }
  const std::string& Duplicate() const { return duplicate_; }
  const std::string& Error() const { return error_; }
  // A limit passed, as a message; where is ErrorAt().
  const std::string& Limit() const { return limit_; }
  std::size_t ErrorAt() const { return errorAt_; }

private:
  struct Frame {
    json* container;
    std::string key; // its key in the enclosing object; empty in an array
  };

  json* Add(json value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    json& parent = *open_.back().container;
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    json& slot = parent[key_];
    slot = std::move(value);
    return &slot;
  }

  bool Scalar(json value) {
    if (!Counted())
      return false;
    Add(std::move(value));
    return true;
  }

  // The offset of the byte the parser read last: the bracket of a container
  // just opened, the end of a value or a name just read.
  std::size_t LastRead() const {
    return read_ == text_.data() ? 0 : static_cast<std::size_t>(read_ - text_.data()) - 1;
  }

  bool Stop(std::string limit) {
    limit_ = std::move(limit);
    errorAt_ = LastRead();
    return false;
  }

  // Counts one more value or field name.
  bool Counted() {
    return ++values_ <= kSceneValueLimit ||
           Stop("more than " + std::to_string(kSceneValueLimit) +
                " values and field names, the most a scene may hold");
  }

  // A container's address stays valid while it is open: nothing is added to
  // the array or object around it until it is closed.
  bool Open(json container) {
    if (open_.size() == kSceneNestingLimit)
      return Stop("brackets nested more than " + std::to_string(kSceneNestingLimit) +
                  " deep, the most a scene may have");
    if (!Counted())
      return false;
    std::string key = !open_.empty() && open_.back().container->is_object() ? key_ : "";
    open_.push_back({Add(std::move(container)), std::move(key)});
    return true;
  }

  bool Close() {
    open_.pop_back();
    return true;
  }

  std::string PathOfOpen() const {
    std::string path;
    for (std::size_t i = 1; i < open_.size(); ++i) {
      const json& parent = *open_[i - 1].container;
      path = parent.is_array() ? Reader::Index(path, parent.size() - 1)
                               : Reader::Join(path, open_[i].key);
    }
    return path;
  }

  std::string_view text_;
  const char* read_; // just after the byte the parser read last
  std::size_t values_ = 0;
  json root_;
  std::vector<Frame> open_;
  std::string key_;
  std::string duplicate_;
  std::string error_;
  std::string limit_;
  std::size_t errorAt_ = 0;
};

json ParseJson(std::string_view text, const std::string& sourceName) {
  // The parser takes a NUL byte for the end of the text and would ignore
  // whatever follows it.
  if (const auto nul = text.find('\0'); nul != std::string_view::npos)
    throw UsageError(sourceName + ":" + Place(text, nul) +
                     ": a NUL byte; a scene is text (inside a string, write \\u0000)");
  TreeBuilder builder(text);
  json::sax_parse(builder.Begin(), builder.End(), &builder, json::input_format_t::json, true, true);
  if (!builder.Duplicate().empty())
    throw UsageError(sourceName + ": " + builder.Duplicate() +
                     ": the field is given twice in the same object");
  if (!builder.Limit().empty())
    throw UsageError(sourceName + ":" + Place(text, builder.ErrorAt()) + ": " + builder.Limit());
  if (!builder.Error().empty())
    throw UsageError(sourceName + ":" + Place(text, builder.ErrorAt()) +
                     ": malformed JSON: " + builder.Error());
  return std::move(builder.Root());
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
  if (!IsWhole(value))
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
  if (!IsWhole(value))
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
  // Name (a text of the tree) -> index in read.
  std::unordered_map<std::string_view, std::size_t, AsciiCaseInsensitiveHash,
                     AsciiCaseInsensitiveEqual>
      names;
  for (std::size_t i = 0; i < properties.size(); ++i) {
    const std::string itemPath = Reader::Index(listPath, i);
    const json& item = properties[i];
    r.RequireObject(item, itemPath, {"id", "name", "value"});
    if (!item.contains("name"))
      r.Fail(itemPath, "the field \"name\" is missing");
    sim::PropertyData property;
    property.name = r.Text(item["name"], Reader::Join(itemPath, "name"));
    if (const auto [earlier, added] = names.emplace(item["name"].get_ref<const std::string&>(), i);
        !added)
      r.Fail(Reader::Join(itemPath, "name"),
             "the set has a property named " + Quoted(read[earlier->second].name) +
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
    if (const auto type = DocumentTypeNamed(name))
      return *type;
    r.Fail(path, "unknown document type " + Quoted(name) +
                     "; expected \"part\", \"assembly\", \"drawing\" or a whole number (a host "
                     "type code)");
  }
  if (!IsWhole(value))
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
    std::unordered_set<std::string> formatIds; // folded
    for (std::size_t i = 0; i < sets.size(); ++i) {
      const std::string setPath = Reader::Index(setsPath, i);
      sim::PropertySetData set = ReadPropertySet(r, sets[i], setPath);
      if (!formatIds.insert(AsciiLower(set.formatId)).second)
        r.Fail(Reader::Join(setPath, "fmtid"),
               "the document has a set " + set.formatId + " already");
      document.propertySets.push_back(std::move(set));
    }
  }
  return document;
}

std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMiB = 1024 * 1024;
  if (bytes >= kMiB && bytes % kMiB == 0)
    return std::to_string(bytes / kMiB) + " MiB (" + std::to_string(bytes) + " bytes)";
  return std::to_string(bytes) + " bytes";
}

// The scene in the JSON tree. Throws UsageError.
Scene ReadScene(const json& root, const std::string& sourceName) {
  const Reader r(sourceName);
  r.RequireObject(root, "", {"active", "documents"});
  if (!root.contains("documents"))
    r.Fail("", "the field \"documents\" is missing");
  const json& documents = r.RequireArray(root["documents"], "documents");
  if (documents.size() > kSceneDocumentLimit)
    r.Fail("documents", std::to_string(documents.size()) + " documents; a scene may hold at most " +
                            std::to_string(kSceneDocumentLimit));

  Scene scene;
  scene.documents.reserve(documents.size());
  std::unordered_set<std::string> names;
  names.reserve(documents.size());
  for (std::size_t i = 0; i < documents.size(); ++i) {
    const std::string path = Reader::Index("documents", i);
    sim::DocumentData document = ReadDocument(r, documents[i], path, i);
    if (!names.insert(document.name).second)
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

} // namespace

Scene ParseScene(std::string_view text, const std::string& sourceName) {
  return ReadScene(ParseJson(text, sourceName), sourceName);
}

Scene LoadSceneFile(const std::string& path, std::size_t sizeLimit) {
  // The path from UTF-8: a std::string would be read in the ANSI code page
  // on Windows.
  const std::filesystem::path file = PathFromUtf8(path);
  std::error_code error;
  if (std::filesystem::is_directory(file, error))
    throw UsageError(path + ": is a directory, not a scene file");
  std::ifstream in(file, std::ios::binary);
  if (!in)
    throw UsageError(path + ": cannot open the scene file (" + std::strerror(errno) + ")");
  // Read in pieces with the limit checked as the text grows: a device or a
  // pipe has no size to check beforehand, and may never end.
  std::string text;
  // A regular file's text in one allocation of its size, not grown by
  // doubling to up to twice that.
  if (const auto size = std::filesystem::file_size(path, error); !error)
    text.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(size, sizeLimit)));
  std::array<char, 64 * 1024> piece;
  while (in.read(piece.data(), piece.size()) || in.gcount() > 0) {
    const auto count = static_cast<std::size_t>(in.gcount());
    if (count > sizeLimit - text.size())
      throw UsageError(path + ": the scene file is larger than the limit of " +
                       SizeText(sizeLimit));
    text.append(piece.data(), count);
  }
  if (in.bad())
    throw UsageError(path + ": cannot read the scene file");
  const json root = ParseJson(text, path);
  std::string().swap(text); // the tree holds all that is needed of it
  return ReadScene(root, path);
}

} // namespace vantelo::cli
