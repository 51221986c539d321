#include "simhost/document_data.h"

#include "platform/ascii_case.h"

#include <algorithm>

namespace vantelo::sim {

std::optional<std::size_t> PartsListData::Column(std::string_view title) const {
  const auto it = std::find(columns.begin(), columns.end(), title);
  if (it == columns.end())
    return std::nullopt;
  return static_cast<std::size_t>(it - columns.begin());
}

std::vector<PropertySetData> DefaultPropertySets() {
  std::vector<PropertySetData> sets;
  sets.reserve(2);
  sets.push_back({fmtid::UserDefined, {}});
  sets.push_back(
      {fmtid::DesignTracking, {{"Mass", 9, std::string()}, {"Volume", 43, std::string()}}});
  return sets;
}

PropertySetData* DocumentData::PropertySet(std::string_view formatId) {
  for (auto& set : propertySets)
    if (EqualsIgnoringAsciiCase(set.formatId, formatId))
      return &set;
  return nullptr;
}

const PropertySetData* DocumentData::PropertySet(std::string_view formatId) const {
  return const_cast<DocumentData*>(this)->PropertySet(formatId);
}

const PropertyData* DocumentData::Property(std::string_view formatId, std::string_view name) const {
  const auto* set = PropertySet(formatId);
  return set ? set->properties.Find(name) : nullptr;
}

} // namespace vantelo::sim
