// ScaleToText: a view scale as the ratio text the user configured, such as
// "1:2" for a view at half size or "2:1" for one at twice the size.
#include "addin/clsVantelo.h"
#include "addin/failure.h"
#include "addin/vb_conversions.h"
#include "writers/nearest_fraction.h"

#include <cmath>
#include <cstdint>

namespace vantelo {

// A negative scale (a mirrored view) gives the text of its magnitude: the
// ratio of a mirrored view is the same as that of the unmirrored one. A
// magnitude of 2^31 or more, or a NaN, does not fit the whole part and fails
// as an overflow. A negative ShowScaleAsInventorDecimals is refused by the
// rounding (invalid procedure call) when an enlargement is to be rounded.
std::string clsVantelo::ScaleToText(float scale, bool firstView) const {
  return ScaleToText(scale, firstView, platform_.regional->DecimalSeparator());
}

std::string clsVantelo::ScaleToText(float scale, bool firstView, std::string_view separator) const {
  const float magnitude = std::fabs(scale);
  if (!(magnitude < 2147483648.0f))
    throw Failure(hresult::Overflow,
                  "Overflow: the scale " + std::to_string(scale) + " is too large for a ratio");
  const auto whole = static_cast<std::int32_t>(magnitude); // truncated toward zero
  const auto fraction =
      static_cast<float>(static_cast<double>(magnitude) - static_cast<double>(whole));

  const Fraction found = NearestFraction(fraction);
  float x = static_cast<float>(found.numerator);
  float y = static_cast<float>(found.denominator);

  // An enlargement shows its whole part against 1 and drops the fraction...
  if (whole > 0) {
    x = static_cast<float>(whole);
    y = 1.0f;
  }
  // ...unless it is to be shown as the host shows it, rounded with decimals.
  if (ShowScaleAsInventor && magnitude > 1.0f) {
    x = vb::ToSingle(vb::Round(magnitude, ShowScaleAsInventorDecimals));
    y = 1.0f;
  }

  const std::string pattern =
      vb::UpperCase(firstView ? HowToDisplayFirstViewScale : HowToDisplayAllViewScales);
  const std::string withX = vb::ReplaceText(pattern, "X", vb::SingleToText(x, separator));
  return vb::ReplaceText(withX, "Y", vb::SingleToText(y, separator));
}

} // namespace vantelo
