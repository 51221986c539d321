// A document's units of measure.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class UnitsOfMeasureAdapter final : public UnitsOfMeasure, public DispatchObject {
public:
  UnitsOfMeasureAdapter(ComPtr<IDispatch> units, AdapterPool& pool)
      : DispatchObject(std::move(units), "UnitsOfMeasure", pool) {}

  std::int32_t LengthUnits() override { return GetLong(dispid::LengthUnits, "LengthUnits"); }

  std::int32_t MassUnits() override { return GetLong(dispid::MassUnits, "MassUnits"); }

  std::int32_t LengthDisplayPrecision() override {
    return GetLong(dispid::LengthDisplayPrecision, "LengthDisplayPrecision");
  }

  std::string GetStringFromValue(double& value, std::int32_t unitsSpecifier) override {
    return ToText(Call(dispid::GetStringFromValue, "GetStringFromValue",
                       Arguments(DoubleByReference(&value), LongArgument(unitsSpecifier))),
                  "GetStringFromValue");
  }
};

} // namespace

Ref<UnitsOfMeasure> MakeUnitsOfMeasure(AdapterPool& pool, ComPtr<IDispatch> units) {
  return Wrapped<UnitsOfMeasureAdapter>(pool, std::move(units));
}

} // namespace vantelo::com::host
