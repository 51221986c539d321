#include "simhost/host.h"
#include "support/failure_code.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vantelo::sim {
namespace {

using vantelo::test::FailureCode;

Ref<UnitsOfMeasure> UnitsOf(Host& host, UnitsData units) {
  auto& doc = host.AddDocument({.name = "P.ipt", .units = units});
  host.SetActiveDocument(&doc);
  return Use(Use(Use(host.AddInSite()).Application()).ActiveDocument()).UnitsOfMeasure();
}

TEST(SimUnits, LengthTextsUseTheDocumentsUnitFamilyAndDisplayDecimals) {
  const struct {
    double centimetres;
    std::int32_t lengthUnits;
    std::int32_t decimals;
    const char* text;
  } cases[] = {
      {1.0, units::Millimeter, 2, "10.00 mm"},
      {12.3456, units::Millimeter, 0, "123 mm"},
      {-1.5, units::Millimeter, 1, "-15.0 mm"},
      {2.54, units::Inch, 3, "1.000 in"},
      {25.4, units::Centimeter, 2, "10.00 in"}, // every unit but the millimetre gives inches
      {0.0, units::Meter, 4, "0.0000 in"},
      {1e6, units::Millimeter, 1, "10000000.0 mm"}, // no exponent, no grouping
  };
  for (const auto& c : cases) {
    Host host;
    auto units = UnitsOf(host, {.lengthUnits = c.lengthUnits, .displayPrecision = c.decimals});
    double value = c.centimetres;
    EXPECT_EQ(Use(units).GetStringFromValue(value, units::DefaultDisplayLength), c.text)
        << c.centimetres;
    EXPECT_EQ(value, c.centimetres);
  }
}

TEST(SimUnits, RefusesValuesAndDecimalsThatGiveNoSensibleText) {
  const struct {
    double value;
    std::int32_t decimals;
  } cases[] = {
      {1.0, -1},
      {1.0, 16},
      {std::numeric_limits<double>::quiet_NaN(), 2},
      {std::numeric_limits<double>::infinity(), 2},
  };
  for (const auto& c : cases) {
    Host host;
    auto units = UnitsOf(host, {.displayPrecision = c.decimals});
    double value = c.value;
    EXPECT_EQ(
        FailureCode([&] { Use(units).GetStringFromValue(value, units::DefaultDisplayLength); }),
        hresult::InvalidArg)
        << c.value << " with " << c.decimals << " decimals";
  }
}

TEST(SimUnits, UnitCodesAreTheDocumentsDefaultsUnlessSet) {
  Host host;
  auto defaults = UnitsOf(host, {});
  EXPECT_EQ(Use(defaults).MassUnits(), units::Kilogram);
  EXPECT_EQ(Use(defaults).LengthUnits(), units::Millimeter);
  EXPECT_EQ(Use(defaults).LengthDisplayPrecision(), 2);
  auto set =
      UnitsOf(host, {.massUnits = units::PoundMass, .lengthUnits = 1, .displayPrecision = -3});
  EXPECT_EQ(Use(set).MassUnits(), units::PoundMass);
  EXPECT_EQ(Use(set).LengthUnits(), 1);
  EXPECT_EQ(Use(set).LengthDisplayPrecision(), -3);
}

} // namespace
} // namespace vantelo::sim
