// A document's units of measure.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class UnitsOfMeasureAdapter final : public UnitsOfMeasure, public DispatchObject {
public:
  explicit UnitsOfMeasureAdapter(ComPtr<IDispatch> units)
      : DispatchObject(std::move(units), "UnitsOfMeasure") {}

  std::int32_t LengthUnits() override {
    return toLong(get(dispid::LengthUnits, "LengthUnits"), "LengthUnits");
  }

  std::int32_t MassUnits() override {
    return toLong(get(dispid::MassUnits, "MassUnits"), "MassUnits");
  }

  std::int32_t LengthDisplayPrecision() override {
    return toLong(get(dispid::LengthDisplayPrecision, "LengthDisplayPrecision"),
                  "LengthDisplayPrecision");
  }

  std::string GetStringFromValue(double& value, std::int32_t unitsSpecifier) override {
    return toText(call(dispid::GetStringFromValue, "GetStringFromValue",
                       Arguments(doubleByReference(&value), longArgument(unitsSpecifier))),
                  "GetStringFromValue");
  }
};

} // namespace

Ref<UnitsOfMeasure> makeUnitsOfMeasure(ComPtr<IDispatch> units) {
  return wrapped<UnitsOfMeasureAdapter>(std::move(units));
}

} // namespace vantelo::com::host
