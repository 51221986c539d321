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
    Enter(Operation("UnitsOfMeasure.LengthUnits"));
    return OpenDocument()->units.lengthUnits;
  }

  std::int32_t MassUnits() override {
    Enter(Operation("UnitsOfMeasure.MassUnits"));
    return OpenDocument()->units.massUnits;
  }

  std::int32_t LengthDisplayPrecision() override {
    Enter(Operation("UnitsOfMeasure.LengthDisplayPrecision"));
    return OpenDocument()->units.displayPrecision;
  }

  // The unit selector does not change the text: the host formats lengths in
  // the document's own length unit.
  std::string GetStringFromValue(double& value, std::int32_t /*unitsSpecifier*/) override {
    Enter(Operation("UnitsOfMeasure.GetStringFromValue"));
    const auto doc = OpenDocument();
    return LengthText(value, doc->units.lengthUnits, doc->units.displayPrecision);
  }
};

} // namespace

Ref<UnitsOfMeasure> NewUnitsOfMeasure(StatePtr state, DocumentHandle document) {
  return std::make_shared<UnitsOfMeasureProxy>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
