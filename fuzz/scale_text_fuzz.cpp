// ScaleToText on arbitrary floats, patterns and settings: a text or a
// Failure, never anything else and never undefined behaviour (the sanitizers
// watch). Every X and Y of the pattern is replaced, and a finite scale below
// 2^31 with sensible decimals always gives a text.
//
// Input: 4 bytes of the scale, 1 byte of flags (first view, scale as the
// host shows it, decimal comma), 2 bytes of decimals, then the first-view
// pattern and the all-scales pattern, separated by 0x1F.
#include "addin/clsVantelo.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "platform/portable_platform.h"
#include "platform/regional_settings.h"
#include "support/test_access.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

using namespace vantelo;
using namespace vantelo::fuzz;

namespace {

struct Header {
  float scale = 0;
  bool firstView = false;
  bool showAsHost = false;
  bool decimalComma = false;
  std::int16_t decimals = 0;
};

Header ReadHeader(std::string_view bytes) {
  unsigned char raw[7] = {};
  std::memcpy(raw, bytes.data(), std::min(bytes.size(), sizeof raw));
  Header header;
  std::memcpy(&header.scale, raw, sizeof header.scale);
  header.firstView = raw[4] & 1;
  header.showAsHost = raw[4] & 2;
  header.decimalComma = raw[4] & 4;
  std::memcpy(&header.decimals, raw + 5, sizeof header.decimals);
  return header;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = Fields<3>(data, size);
  const std::string_view head = fields[0];
  const std::string_view firstPattern = fields[1];
  const std::string_view allPattern = fields[2];
  const Header header = ReadHeader(head);

  PortablePlatformOptions options;
  options.regional = std::make_shared<FixedRegionalSettings>(header.decimalComma ? "," : ".", ":");
  clsVantelo addin(PortablePlatform(std::move(options)));
  addin.HowToDisplayFirstViewScale = std::string(firstPattern);
  addin.HowToDisplayAllViewScales = std::string(allPattern);
  addin.ShowScaleAsInventor = header.showAsHost;
  addin.ShowScaleAsInventorDecimals = header.decimals;

  std::optional<std::string> text;
  try {
    text = clsVanteloTestAccess::ScaleToText(addin, header.scale, header.firstView);
  } catch (const Failure&) {
  }

  char scaleText[32];
  std::snprintf(scaleText, sizeof scaleText, "%.9g", static_cast<double>(header.scale));
  const bool ordinary = std::isfinite(header.scale) && std::fabs(header.scale) < 2147483648.0f &&
                        header.decimals >= 0 && header.decimals <= 15;
  FUZZ_CHECK(text || !ordinary, std::string("no text for the scale ") + scaleText +
                                    " with decimals " + std::to_string(header.decimals));
  if (text)
    FUZZ_CHECK(text->find_first_of("XxYy") == std::string::npos,
               "an X or Y was left in " + Escaped(*text) + " for the scale " + scaleText);
  return 0;
}
