#include "writers/property_replacement.h"

#include "addin/clsVantelo.h"

namespace vantelo {

Ref<PropertySet> clsVantelo::ActivePropertySet(const char* formatId) {
  const Ref<Document> document = use(HostApplication).ActiveDocument();
  const Ref<PropertySets> sets = use(document).PropertySets();
  return use(sets).Item(formatId);
}

void DeleteProperty(const Ref<PropertySet>& set, const std::string& name) {
  const Ref<Property> property = use(set).Item(name);
  use(property).Delete();
}

void AddProperty(const Ref<PropertySet>& set, const Value& value, const std::string& name) {
  use(set).Add(value, name);
}

} // namespace vantelo
