// PaperSize: the size of the active drawing's first sheet as a short text
// ("A3", "USER", ...) in the drawing's user-defined property set.
#include "addin/clsVantelo.h"
#include "writers/active_document.h"
#include "writers/property_replacement.h"

#include <cstddef>
#include <string>

namespace vantelo {
namespace {

// The size codes form one range, so a code's text is found by its offset from
// the first code.
constexpr bool SizeCodesAreContiguous() {
  for (std::size_t i = 0; i < kPaperSizes.size(); ++i)
    if (kPaperSizes[i].code != kPaperSizes.front().code + static_cast<std::int32_t>(i))
      return false;
  return true;
}
static_assert(SizeCodesAreContiguous());

// The text of a size code; a code outside the table gives an empty text.
std::string SizeText(std::int32_t code) {
  const std::int64_t index = std::int64_t{code} - kPaperSizes.front().code;
  if (index < 0 || index >= static_cast<std::int64_t>(kPaperSizes.size()))
    return {};
  return std::string(kPaperSizes[static_cast<std::size_t>(index)].text);
}

} // namespace

// The first sheet decides, whichever sheet is active. Reading the size fails
// outward (a document that is not a drawing, a missing sheet), and then
// nothing is stored; storing the text is error-skipping.
void clsVantelo::PaperSize() {
  std::string paperSize;
  {
    const Ref<DrawingDocument> drawing = ActiveDrawingDocument(HostApplication);
    const Ref<Sheets> sheets = Use(drawing).Sheets();
    const Ref<Sheet> firstSheet = Use(sheets).Item(std::int16_t{1});
    paperSize = SizeText(Use(firstSheet).Size());
  }

  ErrorSkipping skipping;
  Ref<PropertySet> set;
  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });
  ReplaceProperty(skipping, set, PaperSizePropertyName, paperSize);
}

} // namespace vantelo
