// UpdateTotalMassInPartsList: for outside clients. Fills the total-mass column
// of the first parts list on the active drawing sheet with each row's
// quantity times its unit mass, converted into TotalMassUnit, and writes the
// sum into the drawing's existing "TotalMass" property.
//
// Any failure on the way shows one message box (unless SuppressError) and
// empties "TotalMass"; the caller sees success. Only a failure of that reset
// (no drawing, or no such property) reaches the caller. Cells already written
// keep their texts.
#include "addin/clsVantelo.h"
#include "addin/error_skipping.h"
#include "addin/vb_conversions.h"

#include <cstddef>
#include <optional>
#include <string>

namespace vantelo {
namespace {

constexpr const char* kStatusText = "Updating Totalmass in the Parts List, Please wait.";
constexpr const char* kFailureMessage = "Can't find any usable Parts List placed on the Drawing.";
constexpr int kStopIconOkButton = 16;
constexpr const char* kTotalMassProperty = "TotalMass";
constexpr double kPoundsPerKilogram = 2.20462;

enum class TotalUnit { Kilogram, Gram, Pound };

// The unit totals are computed in; exact and case-sensitive.
std::optional<TotalUnit> TotalUnitOf(const std::string& name) {
  if (name == "kg")
    return TotalUnit::Kilogram;
  if (name == "g")
    return TotalUnit::Gram;
  if (name == "lb")
    return TotalUnit::Pound;
  return std::nullopt;
}

// How a mass text with a recognised unit token becomes a number in the total
// unit: cut the token off its end, then multiply by the factor.
struct MassConversion {
  std::size_t tokenLength;
  double factor;
};

// Only the token itself is cut: a blank before it stays with the number text,
// which the number conversion accepts, and a text without that blank
// ("12slug") keeps all its digits.
std::optional<MassConversion> ConversionOf(const std::string& token, TotalUnit unit) {
  auto pick = [unit](double kilogram, double gram, double pound) {
    switch (unit) {
    case TotalUnit::Kilogram:
      return kilogram;
    case TotalUnit::Gram:
      return gram;
    case TotalUnit::Pound:
      return pound;
    }
    return pound;
  };
  if (token == "kg")
    return MassConversion{2, pick(1, 1000, kPoundsPerKilogram)};
  if (token == "lbmass")
    return MassConversion{
        6, pick(vb::Divide(1, kPoundsPerKilogram), vb::Divide(1000, kPoundsPerKilogram), 1)};
  if (token == "g")
    return MassConversion{1, pick(0.001, 1, vb::Divide(kPoundsPerKilogram, 1000))};
  if (token == "slug")
    return MassConversion{4, pick(14.5939, 14593.9, 32.174)};
  return std::nullopt;
}

// The active document taken as a drawing; anything else, or no document at
// all, fails.
Ref<DrawingDocument> ActiveDrawing(Application& application) {
  const Ref<Document> document = application.ActiveDocument();
  if (!document)
    throw Failure(hresult::ObjectNotSet, "No document is active; a drawing is needed");
  Ref<DrawingDocument> drawing = document->AsDrawingDocument();
  if (!drawing)
    throw Failure(hresult::TypeMismatch, "The active document is not a drawing");
  return drawing;
}

Ref<PartsList> FirstPartsListOfActiveSheet(const Ref<DrawingDocument>& drawing) {
  const Ref<Sheet> sheet = Use(drawing).ActiveSheet();
  const Ref<PartsLists> partsLists = Use(sheet).PartsLists();
  return Use(partsLists).Item(1);
}

std::int32_t RowCount(const Ref<PartsList>& partsList) {
  const Ref<PartsListRows> rows = Use(partsList).PartsListRows();
  return Use(rows).Count();
}

// The row collection is asked of the parts list anew for every row. The host
// takes the index by reference; it gets a copy so that the loop's own
// counter stays out of its reach.
Ref<PartsListRow> RowAt(const Ref<PartsList>& partsList, std::int32_t index) {
  const Ref<PartsListRows> rows = Use(partsList).PartsListRows();
  std::int32_t byReference = index;
  return Use(rows).Item(byReference);
}

// The drawing's user-defined "TotalMass" property; fails when it does not
// exist.
Ref<Property> TotalMassProperty(const Ref<DrawingDocument>& drawing) {
  const Ref<PropertySets> sets = Use(drawing).PropertySets();
  const Ref<PropertySet> set = Use(sets).Item(fmtid::UserDefined);
  return Use(set).Item(kTotalMassProperty);
}

} // namespace

void clsVantelo::UpdateTotalMassInPartsList() {
  // A mass rounded to some decimals, the blanks, then the display unit.
  auto massText = [this](double mass, int decimals) {
    const double rounded = vb::Round(mass, decimals);
    return vb::DoubleToText(rounded, platform_.regional->DecimalSeparator()) +
           vb::Space(SpaceBeforeMassUnit) + TotalMassUnitToDisplay;
  };

  // Every failure of the update takes the failure path below.
  Ref<DrawingDocument> drawing;
  ErrorSkipping skipping;
  const bool completed = skipping.Step([&] {
    drawing = ActiveDrawing(Use(HostApplication));
    Use(HostApplication).SetStatusBarText(kStatusText);

    double total = 0;
    {
      const Ref<PartsList> partsList = FirstPartsListOfActiveSheet(drawing);
      const std::int32_t rowCount = RowCount(partsList);
      const std::optional<TotalUnit> totalUnit = TotalUnitOf(TotalMassUnit);

      for (std::int32_t index = 1; index <= rowCount; ++index) {
        Ref<PartsListCell> quantityCell, massCell, totalCell;
        {
          const Ref<PartsListRow> row = RowAt(partsList, index);
          quantityCell = Use(row).Item(QuantityColumnName);
          massCell = Use(row).Item(MassColumnName);
          totalCell = Use(row).Item(TotalMassColumnName);
        }

        // A row has a mass number only when its own mass text names a unit
        // (and TotalMassUnit is valid). Otherwise the empty number text fails
        // the conversion below, rather than reusing another row's number.
        std::string massNumberText;
        double factor = 0;
        if (totalUnit) {
          const std::string token = GetMassUnit(Use(massCell).Value());
          if (const auto conversion = ConversionOf(token, *totalUnit)) {
            // The text holds the token, so it is never shorter than the cut.
            const std::string massTextWithUnit = Use(massCell).Value();
            massNumberText =
                massTextWithUnit.substr(0, massTextWithUnit.size() - conversion->tokenLength);
            factor = conversion->factor;
          }
        }

        const double unitMass =
            vb::TextToDouble(massNumberText, platform_.regional->DecimalSeparator());
        const double quantity = vb::Val(Use(quantityCell).Value());
        total = vb::Checked(total + quantity * factor * unitMass);

        const double rowTotal = vb::Checked(vb::Val(Use(quantityCell).Value()) * unitMass * factor);
        Use(totalCell).SetValueByName(massText(rowTotal, Decimals));
      }
    }

    // The drawing's total keeps the drawing's own display precision, not
    // Decimals, so it need not equal the sum of the rounded cells.
    const Ref<Property> property = TotalMassProperty(drawing);
    std::int32_t places = 0;
    {
      const Ref<UnitsOfMeasure> units = Use(drawing).UnitsOfMeasure();
      places = Use(units).LengthDisplayPrecision();
    }
    Use(property).SetValue(massText(total, places));
  });
  if (completed)
    return;

  if (!SuppressError)
    platform_.messageBox->Show(kFailureMessage, kStopIconOkButton, "");
  if (!drawing)
    throw Failure(hresult::ObjectNotSet,
                  "UpdateTotalMassInPartsList: no drawing was obtained, so its TotalMass "
                  "property cannot be reset");
  const Ref<Property> property = TotalMassProperty(drawing);
  Use(property).SetValue("");
}

} // namespace vantelo
