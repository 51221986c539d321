// A document's component definition and its mass properties, all reached by
// member name.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class ComponentDefinitionAdapter final : public ComponentDefinition, public DispatchObject {
public:
  ComponentDefinitionAdapter(ComPtr<IDispatch> definition, AdapterPool& pool)
      : DispatchObject(std::move(definition), "ComponentDefinition", pool) {}

  Ref<MassProperties> MassPropertiesByName() override {
    return MakeMassProperties(Pool(), Object(GetByName(member::MassProperties), "MassProperties"));
  }
};

class MassPropertiesAdapter final : public MassProperties, public DispatchObject {
public:
  MassPropertiesAdapter(ComPtr<IDispatch> massProperties, AdapterPool& pool)
      : DispatchObject(std::move(massProperties), "MassProperties", pool) {}

  void SetAccuracyByName(std::int32_t accuracy) override {
    PutByName(member::Accuracy, LongArgument(accuracy));
  }

  Value MassByName() override {
    return ToValue(Pool(), GetByName(member::Mass), "MassProperties.Mass");
  }

  Value VolumeByName() override {
    return ToValue(Pool(), GetByName(member::Volume), "MassProperties.Volume");
  }
};

} // namespace

Ref<ComponentDefinition> MakeComponentDefinition(AdapterPool& pool, ComPtr<IDispatch> definition) {
  return Wrapped<ComponentDefinitionAdapter>(pool, std::move(definition));
}

Ref<MassProperties> MakeMassProperties(AdapterPool& pool, ComPtr<IDispatch> massProperties) {
  return Wrapped<MassPropertiesAdapter>(pool, std::move(massProperties));
}

} // namespace vantelo::com::host
