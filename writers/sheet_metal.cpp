// SheetMetal_Style: for a sheet-metal part, the flat-pattern extents, the
// thickness in millimetres and the sheet-metal style name, in the part's
// user-defined property set.
#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"
#include "writers/active_document.h"
#include "writers/property_replacement.h"

#include <cmath>

namespace vantelo {
namespace {

constexpr double kMillimetresPerCentimetre = 10.0;

} // namespace

// Two phases. The first reads everything from the host and fails outward at
// the first failure, before anything is deleted, so a failure never leaves
// the three properties half replaced. The second stores the three texts with
// error skipping: all three deletions first, then the three additions.
// A part that is not sheet metal is left unchanged.
void clsVantelo::SheetMetal_Style() {
  Ref<PartDocument> part = ActivePartDocument(HostApplication);
  if (Use(part).SubType() != subtype::SheetMetalPart)
    return;

  Ref<SheetMetalComponentDefinition> sheetMetal;
  {
    const Ref<PartComponentDefinition> definition = Use(part).ComponentDefinition();
    sheetMetal = Use(definition).AsSheetMetalComponentDefinition();
    if (!sheetMetal)
      throw Failure(hresult::NoInterface, "The part's definition is not sheet metal");
  }
  part.reset();

  double thickness = 0.0; // millimetres
  {
    const Ref<SheetMetalStyle> style = Use(sheetMetal).ActiveSheetMetalStyle();
    const Ref<Parameter> styleThickness = Use(style).Thickness();
    thickness = vb::Checked(Use(styleThickness).Value() * kMillimetresPerCentimetre);
  }
  std::string thicknessUnits;
  {
    const Ref<SheetMetalStyle> style = Use(sheetMetal).ActiveSheetMetalStyle();
    const Ref<Parameter> styleThickness = Use(style).Thickness();
    thicknessUnits = Use(styleThickness).Units();
  }
  std::string styleName;
  {
    const Ref<SheetMetalStyle> style = Use(sheetMetal).ActiveSheetMetalStyle();
    styleName = Use(style).Name();
  }

  Ref<UnitsOfMeasure> units;
  {
    const Ref<Document> document = Use(HostApplication).ActiveDocument();
    units = Use(document).UnitsOfMeasure();
  }

  // The extents of the flat pattern's range box, first coordinate first, in
  // the host's length text; each coordinate is read through its own walk from
  // the flat pattern to the corner point.
  std::string extents;
  Ref<FlatPattern> flatPattern = Use(sheetMetal).FlatPattern();
  sheetMetal.reset();
  if (!flatPattern) {
    extents = SMExtentsSizeIfNotAvailable;
  } else {
    enum class Corner { First, Opposite };
    enum class Coordinate { First, Second };
    const auto read = [&](Corner corner, Coordinate coordinate) {
      const Ref<SurfaceBody> body = Use(flatPattern).Body();
      const Ref<Box> box = Use(body).RangeBox();
      const Ref<Point> point = corner == Corner::First ? Use(box).MinPoint() : Use(box).MaxPoint();
      return coordinate == Coordinate::First ? Use(point).X() : Use(point).Y();
    };
    double first = read(Corner::First, Coordinate::First);
    first = std::fabs(vb::Checked(first - read(Corner::Opposite, Coordinate::First)));
    double second = read(Corner::First, Coordinate::Second);
    second = std::fabs(vb::Checked(second - read(Corner::Opposite, Coordinate::Second)));
    const std::string firstText = Use(units).GetStringFromValue(first, units::DefaultDisplayLength);
    const std::string secondText =
        Use(units).GetStringFromValue(second, units::DefaultDisplayLength);
    extents = firstText + " x " + secondText;
  }
  flatPattern.reset();
  units.reset();

  ErrorSkipping skipping;
  Ref<PropertySet> set;
  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });
  skipping.Step([&] { DeleteProperty(set, SMThicknessPropertyName); });
  skipping.Step([&] { DeleteProperty(set, SMStylePropertyName); });
  skipping.Step([&] { DeleteProperty(set, SMExtentsSizePropertyName); });
  skipping.Step([&] {
    AddProperty(set,
                vb::DoubleToText(thickness, platform_.regional->DecimalSeparator()) + " " +
                    thicknessUnits,
                SMThicknessPropertyName);
  });
  skipping.Step([&] { AddProperty(set, styleName, SMStylePropertyName); });
  skipping.Step([&] { AddProperty(set, extents, SMExtentsSizePropertyName); });
}

} // namespace vantelo
