// Property sets and properties.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PropertySetsAdapter final : public PropertySets, public DispatchObject {
public:
  explicit PropertySetsAdapter(ComPtr<IDispatch> sets)
      : DispatchObject(std::move(sets), "PropertySets") {}

  Ref<PropertySet> Item(const std::string& formatId) override {
    return MakePropertySet(
        GetObjectAs(dispid::Item, "Item", iid::PropertySet, Arguments(TextArgument(formatId))));
  }
};

class PropertySetAdapter final : public PropertySet, public DispatchObject {
public:
  explicit PropertySetAdapter(ComPtr<IDispatch> set)
      : DispatchObject(std::move(set), "PropertySet") {}

  Ref<Property> Item(const std::string& name) override {
    return MakeProperty(
        GetObjectAs(dispid::Item, "Item", iid::Property, Arguments(TextArgument(name))));
  }

  void Add(const Value& value, const std::string& name) override {
    // The host's result (the new property) is not used.
    Call(dispid::PropertySetAdd, "Add", Arguments(ValueArgument(value), TextArgument(name)));
  }

  Ref<Property> ItemByPropId(std::int32_t id) override {
    return MakeProperty(GetObjectAs(dispid::PropertySetItemByPropId, "ItemByPropId", iid::Property,
                                    Arguments(LongArgument(id))));
  }
};

class PropertyAdapter final : public Property, public DispatchObject {
public:
  explicit PropertyAdapter(ComPtr<IDispatch> property)
      : DispatchObject(std::move(property), "Property") {}

  void Delete() override { Call(dispid::PropertyDelete, "Delete"); }

  void SetValue(const std::string& text) override {
    Put(dispid::PropertyValue, "Value", TextArgument(text));
  }
};

} // namespace

Ref<PropertySets> MakePropertySets(ComPtr<IDispatch> sets) {
  return Wrapped<PropertySetsAdapter>(std::move(sets));
}

Ref<PropertySet> MakePropertySet(ComPtr<IDispatch> set) {
  return Wrapped<PropertySetAdapter>(std::move(set));
}

Ref<Property> MakeProperty(ComPtr<IDispatch> property) {
  return Wrapped<PropertyAdapter>(std::move(property));
}

} // namespace vantelo::com::host
