// Property sets and properties.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PropertySetsAdapter final : public PropertySets, public DispatchObject {
public:
  PropertySetsAdapter(ComPtr<IDispatch> sets, AdapterPool& pool)
      : DispatchObject(std::move(sets), "PropertySets", pool) {}

  Ref<PropertySet> Item(const std::string& formatId) override {
    return MakePropertySet(Pool(), GetObjectAs(dispid::Item, "Item", iid::PropertySet,
                                               Arguments(TextArgument(formatId))));
  }
};

class PropertySetAdapter final : public PropertySet, public DispatchObject {
public:
  PropertySetAdapter(ComPtr<IDispatch> set, AdapterPool& pool)
      : DispatchObject(std::move(set), "PropertySet", pool) {}

  Ref<Property> Item(const std::string& name) override {
    return MakeProperty(
        Pool(), GetObjectAs(dispid::Item, "Item", iid::Property, Arguments(TextArgument(name))));
  }

  void Add(const Value& value, const std::string& name) override {
    // The host's result (the new property) is not used.
    Call(dispid::PropertySetAdd, "Add", Arguments(ValueArgument(value), TextArgument(name)));
  }

  Ref<Property> ItemByPropId(std::int32_t id) override {
    return MakeProperty(Pool(), GetObjectAs(dispid::PropertySetItemByPropId, "ItemByPropId",
                                            iid::Property, Arguments(LongArgument(id))));
  }
};

class PropertyAdapter final : public Property, public DispatchObject {
public:
  PropertyAdapter(ComPtr<IDispatch> property, AdapterPool& pool)
      : DispatchObject(std::move(property), "Property", pool) {}

  void Delete() override { Call(dispid::PropertyDelete, "Delete"); }

  void SetValue(const std::string& text) override {
    Put(dispid::PropertyValue, "Value", TextArgument(text));
  }
};

} // namespace

Ref<PropertySets> MakePropertySets(AdapterPool& pool, ComPtr<IDispatch> sets) {
  return Wrapped<PropertySetsAdapter>(pool, std::move(sets));
}

Ref<PropertySet> MakePropertySet(AdapterPool& pool, ComPtr<IDispatch> set) {
  return Wrapped<PropertySetAdapter>(pool, std::move(set));
}

Ref<Property> MakeProperty(AdapterPool& pool, ComPtr<IDispatch> property) {
  return Wrapped<PropertyAdapter>(pool, std::move(property));
}

} // namespace vantelo::com::host
