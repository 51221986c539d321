#include "simhost/property_set_data.h"

#include "addin/failure.h"
#include "platform/ascii_case.h"

#include <algorithm>
#include <limits>

namespace vantelo::sim {

PropertyList::PropertyList(std::initializer_list<PropertyData> properties) {
  for (const auto& property : properties)
    Add(property);
}

PropertyList::PropertyList(const PropertyList& other) {
  for (const auto& property : other)
    Add(property);
}

PropertyList& PropertyList::operator=(const PropertyList& other) {
  if (this != &other) {
    PropertyList copy(other);
    *this = std::move(copy);
  }
  return *this;
}

const PropertyData& PropertyList::Add(std::string name, Value value) {
  return Add(PropertyData{std::move(name), 0, std::move(value)});
}

const PropertyData& PropertyList::Add(PropertyData property) {
  if (property.id == 0)
    property.id = NextId();
  else if (property.id < 2)
    throw Failure(hresult::InvalidArg, "property '" + property.name + "': identifier " +
                                           std::to_string(property.id) +
                                           " is reserved (identifiers start at 2)");
  if (byId_.contains(property.id))
    throw Failure(hresult::InvalidArg, "property '" + property.name + "': identifier " +
                                           std::to_string(property.id) + " is already used");
  if (byName_.contains(std::string_view(property.name)))
    throw Failure(hresult::InvalidArg,
                  "property '" + property.name + "' already exists in the property set");

  const auto id = property.id;
  auto it = entries_.insert(entries_.end(), std::make_shared<PropertyData>(std::move(property)));
  byName_.emplace((*it)->name, it);
  byId_.emplace(id, it);
  return **it;
}

const PropertyData* PropertyList::Find(std::string_view name) const {
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second->get();
}

const PropertyData* PropertyList::FindById(std::int32_t id) const {
  const auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second->get();
}

bool PropertyList::SetValue(std::int32_t id, Value value) {
  const auto it = byId_.find(id);
  if (it == byId_.end())
    return false;
  (*it->second)->value = std::move(value);
  return true;
}

bool PropertyList::Erase(std::int32_t id) {
  const auto it = byId_.find(id);
  if (it == byId_.end())
    return false;
  const auto entry = it->second;
  byName_.erase(std::string_view((*entry)->name));
  byId_.erase(it);
  entries_.erase(entry);
  return true;
}

std::int32_t PropertyList::NextId() const {
  if (byId_.empty())
    return 2;
  const auto highest = byId_.rbegin()->first;
  if (highest == std::numeric_limits<std::int32_t>::max())
    throw Failure(hresult::Fail, "the property set has no property identifier left");
  return std::max(highest + 1, 2);
}

std::weak_ptr<const PropertyData> PropertyList::Track(const PropertyData& property) const {
  const auto it = byId_.find(property.id);
  if (it == byId_.end() || it->second->get() != &property)
    return {};
  return *it->second;
}

} // namespace vantelo::sim
