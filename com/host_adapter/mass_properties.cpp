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
    return makeMassProperties(object(getByName(member::MassProperties), "MassProperties"));
  }
};

class MassPropertiesAdapter final : public MassProperties, public DispatchObject {
public:
  explicit MassPropertiesAdapter(ComPtr<IDispatch> massProperties)
      : DispatchObject(std::move(massProperties), "MassProperties") {}

  void SetAccuracyByName(std::int32_t accuracy) override {
    putByName(member::Accuracy, longArgument(accuracy));
  }

  Value MassByName() override { return toValue(getByName(member::Mass), "MassProperties.Mass"); }

  Value VolumeByName() override {
    return toValue(getByName(member::Volume), "MassProperties.Volume");
  }
};

} // namespace

Ref<ComponentDefinition> makeComponentDefinition(ComPtr<IDispatch> definition) {
  return wrapped<ComponentDefinitionAdapter>(std::move(definition));
}

Ref<MassProperties> makeMassProperties(ComPtr<IDispatch> massProperties) {
  return wrapped<MassPropertiesAdapter>(std::move(massProperties));
}

} // namespace vantelo::com::host
