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
    return makePropertySet(objectAs(get(dispid::Item, "Item", Arguments(textArgument(formatId))),
                                    iid::PropertySet, "Item"));
  }
};

class PropertySetAdapter final : public PropertySet, public DispatchObject {
public:
  explicit PropertySetAdapter(ComPtr<IDispatch> set)
      : DispatchObject(std::move(set), "PropertySet") {}

  Ref<Property> Item(const std::string& name) override {
    return makeProperty(
        objectAs(get(dispid::Item, "Item", Arguments(textArgument(name))), iid::Property, "Item"));
  }

  void Add(const Value& value, const std::string& name) override {
    // The host's result (the new property) is not used.
    call(dispid::PropertySetAdd, "Add", Arguments(valueArgument(value), textArgument(name)));
  }

  Ref<Property> ItemByPropId(std::int32_t id) override {
    return makeProperty(
        objectAs(get(dispid::PropertySetItemByPropId, "ItemByPropId", Arguments(longArgument(id))),
                 iid::Property, "ItemByPropId"));
  }
};

class PropertyAdapter final : public Property, public DispatchObject {
public:
  explicit PropertyAdapter(ComPtr<IDispatch> property)
      : DispatchObject(std::move(property), "Property") {}

  void Delete() override { call(dispid::PropertyDelete, "Delete"); }

  void SetValue(const std::string& text) override {
    put(dispid::PropertyValue, "Value", textArgument(text));
  }
};

} // namespace

Ref<PropertySets> makePropertySets(ComPtr<IDispatch> sets) {
  return wrapped<PropertySetsAdapter>(std::move(sets));
}

Ref<PropertySet> makePropertySet(ComPtr<IDispatch> set) {
  return wrapped<PropertySetAdapter>(std::move(set));
}

Ref<Property> makeProperty(ComPtr<IDispatch> property) {
  return wrapped<PropertyAdapter>(std::move(property));
}

} // namespace vantelo::com::host
