// A property set of a document as plain data: its format identifier and its
// properties in the set's order. Properties are found by name (ASCII letter
// case ignored, as in the host's OLE property sets) and by identifier without
// scanning the set.
#pragma once

#include "addin/value.h"
#include "platform/ascii_case.h"

#include <cstdint>
#include <initializer_list>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantelo::sim {

struct PropertyData {
  std::string name{};
  // 0 when building a set: the next free identifier is given.
  std::int32_t id = 0;
  Value value{};
};

// The properties of one set, in order. A property added goes to the end (a
// deleted and re-added one therefore moves to the end) with the next
// identifier: the highest in the set + 1, and at least 2 (0 and 1 are
// reserved in OLE property sets). Names are unique ignoring ASCII case,
// identifiers are unique. Copies are independent of the original.
class PropertyList {
  using Entries = std::list<std::shared_ptr<PropertyData>>;

public:
  class const_iterator {
  public:
    using value_type = PropertyData;
    using difference_type = std::ptrdiff_t;
    const_iterator() = default;
    explicit const_iterator(Entries::const_iterator it) : it_(it) {}
    const PropertyData& operator*() const { return **it_; }
    const PropertyData* operator->() const { return it_->get(); }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    const_iterator operator++(int) { return const_iterator(it_++); }
    friend bool operator==(const const_iterator&, const const_iterator&) = default;

  private:
    Entries::const_iterator it_;
  };

  PropertyList() = default;
  // Fails (E_INVALIDARG) on a repeated name or identifier, or an identifier
  // below 2 other than 0.
  PropertyList(std::initializer_list<PropertyData> properties);
  PropertyList(const PropertyList& other);
  PropertyList& operator=(const PropertyList& other);
  PropertyList(PropertyList&&) noexcept = default;
  PropertyList& operator=(PropertyList&&) noexcept = default;
  ~PropertyList() = default;

  // Adds at the end with the next identifier. Fails (E_INVALIDARG) when the
  // name exists already.
  const PropertyData& Add(std::string name, Value value);
  // Adds at the end with the given identifier (0: the next one).
  const PropertyData& Add(PropertyData property);

  const PropertyData* Find(std::string_view name) const;
  const PropertyData* FindById(std::int32_t id) const;
  // Replaces a property's value in place; false when there is no such property.
  bool SetValue(std::int32_t id, Value value);
  // Removes a property; false when there is no such property.
  bool Erase(std::int32_t id);

  // The identifier the next added property receives. Fails when the set has
  // used up the identifiers.
  std::int32_t NextId() const;

  // A reference that lives exactly as long as the property stays in the set
  // (expires when it is erased or the list is destroyed); empty when the
  // property is not in this list.
  std::weak_ptr<const PropertyData> Track(const PropertyData& property) const;

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const_iterator begin() const { return const_iterator(entries_.begin()); }
  const_iterator end() const { return const_iterator(entries_.end()); }

private:
  Entries entries_;
  // Keyed by the name in the entry itself, which never changes while the
  // entry is in the list.
  std::unordered_map<std::string_view, Entries::iterator, AsciiCaseInsensitiveHash,
                     AsciiCaseInsensitiveEqual>
      byName_;
  std::map<std::int32_t, Entries::iterator> byId_;
};

struct PropertySetData {
  std::string formatId{};
  PropertyList properties{};
};

} // namespace vantelo::sim
