// How every writer stores a value: in a property set of the application's
// active document, reached afresh (clsVantelo::ActivePropertySet), the
// property of the configured name is deleted and then added anew with the
// new value. The property's old type does not matter: a text replaces a date.
//
// Writers run these steps under error skipping: a property that does not
// exist makes the delete fail and the add still creates it; a set that could
// not be reached makes both fail silently.
#pragma once

#include "addin/error_skipping.h"
#include "addin/host_model.h"

#include <string>
#include <type_traits>

namespace vantelo {

// Looks up the property of that name in the set and deletes it.
void DeleteProperty(const Ref<PropertySet>& set, const std::string& name);

// Adds a property with the value and the name (the host takes the value
// first).
void AddProperty(const Ref<PropertySet>& set, const Value& value, const std::string& name);

// Delete, then add, as two steps under error skipping. `value` is a Value or
// a callable that computes it inside the add step, so that a failure while
// computing it abandons the add and leaves the property deleted.
template <class V>
void ReplaceProperty(ErrorSkipping& skipping, const Ref<PropertySet>& set, const std::string& name,
                     V&& value) {
  skipping.Step([&] { DeleteProperty(set, name); });
  skipping.Step([&] {
    if constexpr (std::is_invocable_v<V>)
      AddProperty(set, Value(value()), name);
    else
      AddProperty(set, Value(value), name);
  });
}

} // namespace vantelo
