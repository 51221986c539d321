// A document's component definition and its mass properties, all reached by
// member name.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class ComponentDefinitionAdapter final : public ComponentDefinition, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<MassProperties> MassPropertiesByName() override {
    return MakeMassProperties(Pool(), Object(GetByName(member::MassProperties), "MassProperties"));
  }
};

class MassPropertiesAdapter final : public MassProperties, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

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
  return Wrapped<ComponentDefinitionAdapter>(pool, std::move(definition), "ComponentDefinition");
}

Ref<MassProperties> MakeMassProperties(AdapterPool& pool, ComPtr<IDispatch> massProperties) {
  return Wrapped<MassPropertiesAdapter>(pool, std::move(massProperties), "MassProperties");
}

} // namespace vantelo::com::host
