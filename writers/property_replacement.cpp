#include "writers/property_replacement.h"

#include "addin/clsVantelo.h"

namespace vantelo {

Ref<PropertySet> clsVantelo::ActivePropertySet(const char* formatId) {
  const Ref<Document> document = Use(HostApplication).ActiveDocument();
  const Ref<PropertySets> sets = Use(document).PropertySets();
  return Use(sets).Item(formatId);
}

void DeleteProperty(const Ref<PropertySet>& set, const std::string& name) {
  const Ref<Property> property = Use(set).Item(name);
  Use(property).Delete();
}

void AddProperty(const Ref<PropertySet>& set, const Value& value, const std::string& name) {
  Use(set).Add(value, name);
}

} // namespace vantelo
