// Mass_Volume: the mass and the volume of the active part or assembly as
// number-and-unit texts, in the user-defined property set under the
// configured names and in the design-tracking property set's mass (9) and
// volume (43) properties.
#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"
#include "writers/property_replacement.h"

#include <cmath>
#include <optional>

namespace vantelo {
namespace {

constexpr std::int32_t kMassAccuracy = 24579;
// The document version at or below which the host reports the mass in grams.
constexpr std::int32_t kGramMassVersion = 6000;

constexpr double kPoundsPerKilogram = 2.20462262185;
constexpr double kCentimetresPerInch = 2.54;

constexpr std::int32_t kDesignTrackingMass = 9;
constexpr std::int32_t kDesignTrackingVolume = 43;

// A row of the mass unit table: the mass (in kilograms) converted to the unit,
// and the unit's text.
struct MassUnit {
  double factor;
  const char* text;
};

// The row for a mass unit code; none for a unit the add-in does not write.
std::optional<MassUnit> MassUnitOf(std::int32_t code) {
  switch (code) {
  case units::Kilogram:
    return MassUnit{1.0, " kg"};
  case units::Gram:
    return MassUnit{1000.0, " g"};
  case units::PoundMass:
    return MassUnit{kPoundsPerKilogram, " lbmass"};
  default:
    return std::nullopt;
  }
}

// The value rounded half to even to the decimals, in the general number form,
// followed directly by the unit text.
std::string NumberWithUnit(double value, std::int16_t decimals, const std::string& unit,
                           const std::string& decimalSeparator) {
  return vb::DoubleToText(vb::Round(value, decimals), decimalSeparator) + unit;
}

} // namespace

// Error skipping is on from the start, so the method never fails. Each
// step reads the active document anew. What a failed step leads to:
//   - the mass cannot be read (no component definition or mass properties,
//     the mass itself, or the version number that says whether it is in
//     grams): no mass text is written, as for an unknown mass unit below,
//     rather than a mass of 0 or one a thousand times too small;
//   - the volume cannot be read: likewise no volume text is written;
//   - the mass unit cannot be read, or is none of kg, g, lbmass: no mass text
//     is written, so the user-defined mass property stays deleted and the
//     design-tracking one keeps its value;
//   - the length unit cannot be read: the volume is written in mm^3;
//   - building a text fails (rounding, conversion, overflow): that property
//     stays deleted.
// The design-tracking properties are overwritten in place, never deleted.
void clsVantelo::Mass_Volume() {
  ErrorSkipping skipping;
  RegionalSettings& regional = *platform_.regional;

  Ref<ComponentDefinition> definition;
  Value mass;          // as the host gives it; Empty counts as 0
  double volume = 0.0; // cubic centimetres
  // Whether the mass (in kilograms) and the volume are known. A value that
  // is not known is written nowhere; the reads that decide the unit still
  // take place, so the host sees the same calls up to the write itself.
  bool massKnown = false;
  bool volumeKnown = false;

  skipping.Step([&] {
    const Ref<Document> document = Use(HostApplication).ActiveDocument();
    definition = Use(document).ComponentDefinitionByName();
  });
  skipping.Step([&] {
    const Ref<MassProperties> properties = Use(definition).MassPropertiesByName();
    Use(properties).SetAccuracyByName(kMassAccuracy);
  });
  skipping.Step([&] {
    const Ref<MassProperties> properties = Use(definition).MassPropertiesByName();
    mass = Use(properties).MassByName();
    massKnown = true;
  });
  skipping.Step([&] {
    const Ref<MassProperties> properties = Use(definition).MassPropertiesByName();
    volume = vb::ValueToDouble(Use(properties).VolumeByName(), regional.DecimalSeparator());
    volumeKnown = true;
  });

  // A version that cannot be read leaves open whether the mass is in grams,
  // and a mass that cannot be divided stays in grams: neither is known.
  bool versionRead = false;
  const bool inGrams = skipping.HoldsOrFails([&] {
    const Ref<Document> document = Use(HostApplication).ActiveDocument();
    const std::int32_t version = Use(document).VersionNumber();
    versionRead = true;
    return version <= kGramMassVersion;
  });
  if (!versionRead)
    massKnown = false;
  else if (inGrams && !skipping.Step([&] {
             mass = vb::Divide(vb::ValueToDouble(mass, regional.DecimalSeparator()), 1000.0);
           }))
    massKnown = false;

  const auto activeUnits = [&] {
    const Ref<Document> document = Use(HostApplication).ActiveDocument();
    return Use(document).UnitsOfMeasure();
  };
  const auto massUnitCode = [&] { return Use(activeUnits()).MassUnits(); };
  const auto lengthUnitCode = [&] { return Use(activeUnits()).LengthUnits(); };
  const auto massText = [&](const MassUnit& unit) {
    const std::string separator = regional.DecimalSeparator();
    const double value = vb::Checked(vb::ValueToDouble(mass, separator) * unit.factor);
    return NumberWithUnit(value, MassDecimals,
                          MassUnitToDisplay.empty() ? std::string(unit.text) : MassUnitToDisplay,
                          separator);
  };
  const auto volumeInMillimetres = [&] {
    const double value = vb::Checked(volume * std::pow(10.0, 3));
    return NumberWithUnit(value, VolumeDecimals, " mm^3", regional.DecimalSeparator());
  };
  const auto volumeInInches = [&] {
    const double value = vb::Divide(volume, std::pow(kCentimetresPerInch, 3));
    return NumberWithUnit(value, VolumeDecimals, " in^3", regional.DecimalSeparator());
  };

  // The user-defined set, reached anew for each property.
  Ref<PropertySet> set;
  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });
  skipping.Step([&] { DeleteProperty(set, MassPropertyName); });
  skipping.Step([&] {
    if (const auto unit = MassUnitOf(massUnitCode()); unit && massKnown)
      AddProperty(set, massText(*unit), MassPropertyName);
  });

  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });
  skipping.Step([&] { DeleteProperty(set, VolumePropertyName); });
  const auto addVolume = [&](auto volumeText) {
    if (volumeKnown)
      AddProperty(set, volumeText(), VolumePropertyName);
  };
  if (skipping.HoldsOrFails([&] { return lengthUnitCode() == units::Millimeter; }))
    skipping.Step([&] { addVolume(volumeInMillimetres); });
  else
    skipping.Step([&] { addVolume(volumeInInches); });
  set.reset();

  // The design-tracking set: each property is reached on its own, so a
  // volume text can never land in the mass property.
  Ref<Property> property;
  skipping.Step([&] {
    property = Use(ActivePropertySet(fmtid::DesignTracking)).ItemByPropId(kDesignTrackingMass);
  });
  skipping.Step([&] {
    if (const auto unit = MassUnitOf(massUnitCode()); unit && massKnown)
      Use(property).SetValue(massText(*unit));
  });

  property.reset();
  skipping.Step([&] {
    property = Use(ActivePropertySet(fmtid::DesignTracking)).ItemByPropId(kDesignTrackingVolume);
  });
  const auto setVolume = [&](auto volumeText) {
    if (volumeKnown)
      Use(property).SetValue(volumeText());
  };
  if (skipping.HoldsOrFails([&] { return lengthUnitCode() == units::Millimeter; }))
    skipping.Step([&] { setVolume(volumeInMillimetres); });
  else
    skipping.Step([&] { setVolume(volumeInInches); });
}

} // namespace vantelo
