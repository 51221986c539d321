// The conversions of texts and numbers on arbitrary input: each gives a
// result or a Failure, never anything else and never undefined behaviour
// (the sanitizers watch). Besides: a number that converts comes back as the
// same number from its own text, results are finite, and rounding keeps
// within half a unit of the last decimal.
//
// Input: a decimal separator, then the text (separated by 0x1F); the text's
// first 8 bytes double as a number and the next 2 as a count of decimals.
#include "addin/failure.h"
#include "addin/vb_conversions.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

using namespace vantelo;
using namespace vantelo::fuzz;

namespace {

template <class Call> auto Attempt(Call&& call) -> std::optional<decltype(call())> {
  try {
    return call();
  } catch (const Failure&) {
    return std::nullopt;
  }
}

std::string Text(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

// Whether a number's 15-digit text lies beyond the double range: the
// largest doubles round up to such a text ("1.79769313486232E+308"), which
// then overflows when read, as it does in the host's macro language.
bool BeyondTheRange(const std::string& shown, std::string_view separator) {
  std::string plain = shown;
  if (const auto at = plain.find(separator); at != std::string::npos && !separator.empty())
    plain.replace(at, separator.size(), ".");
  return std::isinf(std::strtod(plain.c_str(), nullptr));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = Fields<2>(data, size);
  const std::string_view separator = fields[0];
  const std::string_view text = fields[1];
  // The regional separators that matter are "." and ","; any other text is
  // still a legal setting and must not break anything.
  const bool usualSeparator = separator == "." || separator == ",";

  Attempt([&] { return vb::TextToBoolean(text, separator); });
  Attempt([&] { return vb::TextToInteger(text, separator); });
  Attempt([&] { return vb::UpperCase(text); });

  // Val overflows (a Failure) on a number beyond the double range.
  if (const auto val = Attempt([&] { return vb::Val(text); }))
    FUZZ_CHECK(std::isfinite(*val), "Val gave " + Text(*val) + " for " + Escaped(text));

  if (const auto number = Attempt([&] { return vb::TextToDouble(text, separator); })) {
    FUZZ_CHECK(std::isfinite(*number), "TextToDouble gave " + Text(*number));
    const std::string shown = vb::DoubleToText(*number, separator);
    if (usualSeparator) {
      const auto back = Attempt([&] { return vb::TextToDouble(shown, separator); });
      FUZZ_CHECK(back || BeyondTheRange(shown, separator),
                 "the text " + Escaped(shown) + " of a number does not convert back");
      FUZZ_CHECK(!back || vb::DoubleToText(*back, separator) == shown,
                 Escaped(shown) + " reads back as " + Escaped(vb::DoubleToText(*back, separator)));
    }
  }

  // The same bytes as numbers.
  std::string bytes(text);
  bytes.resize(std::max<std::size_t>(bytes.size(), 10), '\0');
  double number = 0;
  std::memcpy(&number, bytes.data(), sizeof number);
  std::int16_t decimals = 0;
  if (text.size() >= sizeof number + sizeof decimals)
    std::memcpy(&decimals, bytes.data() + sizeof number, sizeof decimals);
  float single = 0;
  std::memcpy(&single, &number, sizeof single);

  vb::DoubleToText(number, separator);
  vb::SingleToText(single, separator);
  Attempt([&] { return vb::RoundToLong(number); });
  Attempt([&] { return vb::RoundToInteger(number); });
  Attempt([&] { return vb::ToSingle(number); });
  Attempt([&] { return vb::Checked(number); });
  Attempt([&] { return vb::Divide(number, static_cast<double>(decimals)); });
  Attempt([&] { return vb::Space(decimals); });
  if (const auto rounded = Attempt([&] { return vb::Round(number, decimals); })) {
    FUZZ_CHECK(!std::isnan(*rounded) || std::isnan(number), "Round gave NaN");
    if (std::isfinite(number) && decimals >= 0 && decimals <= 15 && std::fabs(number) < 1e15)
      FUZZ_CHECK(std::fabs(*rounded - number) <=
                     0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(number) * 1e-15,
                 "Round(" + Text(number) + ", " + std::to_string(decimals) + ") gave " +
                     Text(*rounded));
  }
  if (usualSeparator && std::isfinite(number)) {
    const std::string shown = vb::DoubleToText(number, separator);
    const auto back = Attempt([&] { return vb::TextToDouble(shown, separator); });
    FUZZ_CHECK(back || BeyondTheRange(shown, separator),
               "the text " + Escaped(shown) + " of " + Text(number) + " does not convert");
  }
  return 0;
}
