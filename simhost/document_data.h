// A document of the stand-in host as plain data: everything the host's
// operations read or change. Tests build documents with designated
// initializers and hand them to Host::AddDocument.
#pragma once

#include "addin/host_model.h"
#include "addin/value.h"
#include "simhost/property_set_data.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo::sim {

struct UnitsData {
  std::int32_t massUnits = units::Kilogram;
  std::int32_t lengthUnits = units::Millimeter;
  std::int32_t displayPrecision = 2; // decimal places the document displays
};

struct MassPropertiesData {
  Value mass{};                           // kilograms, as the host hands it out
  Value volume{};                         // cubic centimetres
  std::optional<std::int32_t> accuracy{}; // the last value put
};

struct PointData {
  double x = 0.0, y = 0.0, z = 0.0; // centimetres
};

struct FlatPatternData {
  PointData minPoint{}; // corners of the range box of the flat pattern's body
  PointData maxPoint{};
};

struct SheetMetalData {
  double thickness = 0.0;       // centimetres
  std::string thicknessUnits{}; // the thickness parameter's unit text
  std::string styleName{};
  std::optional<FlatPatternData> flatPattern{};
};

struct PartsListData {
  std::vector<std::string> columns{};           // column titles
  std::vector<std::vector<std::string>> rows{}; // cell texts, one per column

  // The column whose title is exactly the given one.
  std::optional<std::size_t> Column(std::string_view title) const;
};

struct SheetData {
  std::int32_t size = 0;            // the sheet's paper size code
  std::vector<double> viewScales{}; // one per drawing view, in view order
  std::vector<PartsListData> partsLists{};
};

// The property sets every new document has unless the builder lists its own:
// the empty user-defined set, and the design-tracking set with "Mass" (9) and
// "Volume" (43) holding empty texts.
std::vector<PropertySetData> DefaultPropertySets();

struct DocumentData {
  std::string name{};
  std::int32_t type = document_type::Part; // any code; 12290/12291/12292 are understood
  std::string subType{};
  std::int32_t versionNumber = 7000; // the number the add-in tests against 6000
  UnitsData units{};
  std::optional<MassPropertiesData> massProperties{};
  std::optional<SheetMetalData> sheetMetal{};
  std::vector<SheetData> sheets{};
  std::size_t activeSheet = 0; // index into sheets
  std::vector<PropertySetData> propertySets = DefaultPropertySets();

  // The set with the format identifier (letter case ignored); null when none.
  PropertySetData* PropertySet(std::string_view formatId);
  const PropertySetData* PropertySet(std::string_view formatId) const;
  // A property of a set by name; null when the set or the property is missing.
  const PropertyData* Property(std::string_view formatId, std::string_view name) const;
};

} // namespace vantelo::sim
