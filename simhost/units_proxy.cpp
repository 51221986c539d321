// A document's units of measure.
#include "simhost/length_text.h"
#include "simhost/proxies.h"

namespace vantelo::sim {

namespace {

class UnitsOfMeasureProxy final : public UnitsOfMeasure, DocumentBound {
public:
  UnitsOfMeasureProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "UnitsOfMeasure", std::move(document)) {}

  std::int32_t LengthUnits() override {
    enter(operation("UnitsOfMeasure.LengthUnits"));
    return document()->units.lengthUnits;
  }

  std::int32_t MassUnits() override {
    enter(operation("UnitsOfMeasure.MassUnits"));
    return document()->units.massUnits;
  }

  std::int32_t LengthDisplayPrecision() override {
    enter(operation("UnitsOfMeasure.LengthDisplayPrecision"));
    return document()->units.displayPrecision;
  }

  // The unit selector does not change the text: the host formats lengths in
  // the document's own length unit.
  std::string GetStringFromValue(double& value, std::int32_t /*unitsSpecifier*/) override {
    enter(operation("UnitsOfMeasure.GetStringFromValue"));
    const auto doc = document();
    return lengthText(value, doc->units.lengthUnits, doc->units.displayPrecision);
  }
};

} // namespace

Ref<UnitsOfMeasure> newUnitsOfMeasure(StatePtr state, DocumentHandle document) {
  return std::make_shared<UnitsOfMeasureProxy>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
