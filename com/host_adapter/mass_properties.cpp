// A document's component definition and its mass properties, all reached by
// member name.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class ComponentDefinitionAdapter final : public ComponentDefinition, public DispatchObject {
public:
  explicit ComponentDefinitionAdapter(ComPtr<IDispatch> definition)
      : DispatchObject(std::move(definition), "ComponentDefinition") {}

  Ref<MassProperties> MassPropertiesByName() override {
    return MakeMassProperties(Object(GetByName(member::MassProperties), "MassProperties"));
  }
};

class MassPropertiesAdapter final : public MassProperties, public DispatchObject {
public:
  explicit MassPropertiesAdapter(ComPtr<IDispatch> massProperties)
      : DispatchObject(std::move(massProperties), "MassProperties") {}

  void SetAccuracyByName(std::int32_t accuracy) override {
    PutByName(member::Accuracy, LongArgument(accuracy));
  }

  Value MassByName() override { return ToValue(GetByName(member::Mass), "MassProperties.Mass"); }

  Value VolumeByName() override {
    return ToValue(GetByName(member::Volume), "MassProperties.Volume");
  }
};

} // namespace

Ref<ComponentDefinition> MakeComponentDefinition(ComPtr<IDispatch> definition) {
  return Wrapped<ComponentDefinitionAdapter>(std::move(definition));
}

Ref<MassProperties> MakeMassProperties(ComPtr<IDispatch> massProperties) {
  return Wrapped<MassPropertiesAdapter>(std::move(massProperties));
}

} // namespace vantelo::com::host
