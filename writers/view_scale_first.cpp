// ViewScale_First: the scale of the first view on the first sheet of the
// active drawing, as ratio text, in the drawing's user-defined property set.
#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"
#include "writers/active_document.h"
#include "writers/property_replacement.h"

namespace vantelo {

// The first sheet is sheet 1 whichever sheet is active. A first sheet
// without views, or a scale that cannot be read or formatted, stores an empty
// text. Only a document that is not a drawing fails outward.
void clsVantelo::ViewScale_First() {
  const Ref<DrawingDocument> drawing = ActiveDrawingDocument(HostApplication);

  ErrorSkipping skipping;
  std::string scaleText;
  skipping.Step([&] {
    const Ref<Sheets> sheets = Use(drawing).Sheets();
    const Ref<Sheet> sheet = Use(sheets).Item(std::int16_t{1});
    const Ref<DrawingViews> views = Use(sheet).DrawingViews();
    const Ref<DrawingView> view = Use(views).Item(std::int32_t{1});
    const float scale = vb::ToSingle(Use(view).Scale());
    scaleText = ScaleToText(scale, true);
  });

  Ref<PropertySet> set;
  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });
  ReplaceProperty(skipping, set, FirstViewScalePropertyName, scaleText);
}

} // namespace vantelo
