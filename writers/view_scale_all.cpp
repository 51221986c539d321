// ViewScale_All: every distinct view scale of the active drawing, as ratio
// texts from the largest to the smallest, joined with ListSparator, in the
// drawing's user-defined property set.
#include "addin/clsVantelo.h"
#include "addin/vb_conversions.h"
#include "writers/active_document.h"
#include "writers/property_replacement.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantelo {
namespace {

// The distinct scales, keyed by their 15-digit text: a scale whose text is
// already present is refused. Only the set of scales matters, because they
// are sorted by value afterwards, so the entries need no order of their own.
// Keys and entries are texts held by the writer's ScaleTexts, which outlives
// the list, so nothing is copied.
class ScaleList {
public:
  // Refuses a key that is already present, as a keyed collection does.
  void Add(const std::string& entry, const std::string& key) {
    entries_.try_emplace(std::string_view(key), &entry);
  }
  void Remove(std::string_view key) { entries_.erase(key); }

  template <class F> void ForEachEntry(F&& visit) const {
    for (const auto& [key, entry] : entries_)
      visit(*entry);
  }
  std::size_t Count() const { return entries_.size(); }

private:
  std::unordered_map<std::string_view, const std::string*> entries_;
};

// The text of each scale value read in one run of the writer, made once per
// distinct value: the views of a drawing share few scales, and the text
// depends only on the value and the decimal separator. Nothing outlives the
// run, so a changed regional setting is seen at the next save.
class ScaleTexts {
public:
  explicit ScaleTexts(std::string decimalSeparator) : separator_(std::move(decimalSeparator)) {}

  const std::string& DecimalSeparator() const { return separator_; }

  // Keyed by the value's bits, so that values the language tells apart (0
  // and -0, NaNs) keep texts of their own.
  const std::string& Of(double scale) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &scale, sizeof bits);
    auto found = texts_.find(bits);
    if (found == texts_.end())
      found = texts_.emplace(bits, vb::DoubleToText(scale, separator_)).first;
    return found->second;
  }

private:
  std::string separator_;
  std::unordered_map<std::uint64_t, std::string> texts_;
};

} // namespace

// Every sheet and view is reached afresh from the drawing for each read. A
// sheet or view that cannot be read is left out and the collection goes on;
// a count that cannot be read (or a sheet count beyond the 16-bit sheet
// index) means no loop over that collection. The scale
// of the first view is left out entirely when ExcludeFirstInAllScales is set,
// even if other views share it. Only a document that is not a drawing fails
// outward.
void clsVantelo::ViewScale_All() {
  const Ref<DrawingDocument> drawing = ActiveDrawingDocument(HostApplication);

  ErrorSkipping skipping;
  // The regional settings cannot change within a save.
  ScaleTexts texts(platform_.regional->DecimalSeparator());
  const auto scaleOf = [&](std::int16_t sheetIndex, std::int32_t viewIndex) -> const std::string& {
    const Ref<Sheets> sheets = Use(drawing).Sheets();
    const Ref<Sheet> sheet = Use(sheets).Item(sheetIndex);
    const Ref<DrawingViews> views = Use(sheet).DrawingViews();
    const Ref<DrawingView> view = Use(views).Item(viewIndex);
    return texts.Of(Use(view).Scale());
  };

  ScaleList scales;
  std::int16_t sheetCount = 0;
  skipping.Step([&] {
    const Ref<Sheets> sheets = Use(drawing).Sheets();
    sheetCount = vb::RoundToInteger(Use(sheets).Count());
  });
  for (std::int32_t i = 1; i <= sheetCount; ++i) {
    const auto sheetIndex = static_cast<std::int16_t>(i);
    std::int32_t viewCount = 0;
    skipping.Step([&] {
      const Ref<Sheets> sheets = Use(drawing).Sheets();
      const Ref<Sheet> sheet = Use(sheets).Item(sheetIndex);
      const Ref<DrawingViews> views = Use(sheet).DrawingViews();
      viewCount = Use(views).Count();
    });
    for (std::int64_t j = 1; j <= viewCount; ++j) {
      const auto viewIndex = static_cast<std::int32_t>(j);
      skipping.Step([&] {
        const std::string& entry = scaleOf(sheetIndex, viewIndex);
        const std::string& key = scaleOf(sheetIndex, viewIndex);
        scales.Add(entry, key);
      });
    }
  }

  if (ExcludeFirstInAllScales)
    skipping.Step([&] { scales.Remove(scaleOf(1, 1)); });

  // An entry that does not read back as a number stays 0, as an unassigned
  // element of a numeric array does.
  std::vector<double> sorted(scales.Count(), 0.0);
  std::size_t k = 0;
  scales.ForEachEntry([&](const std::string& entry) {
    skipping.Step([&] { sorted[k] = vb::TextToDouble(entry, texts.DecimalSeparator()); });
    ++k;
  });
  // No value is NaN and equal values are identical, so any ascending sort
  // gives the same array as a stable exchange sort.
  std::sort(sorted.begin(), sorted.end());

  // From the largest down, each text followed by the separator; the smallest
  // closes the list. A text that cannot be made is left out together with
  // its separator.
  std::string result;
  for (std::size_t j = sorted.size(); j-- > 1;)
    skipping.Step([&] {
      result +=
          ScaleToText(vb::ToSingle(sorted[j]), false, texts.DecimalSeparator()) + ListSparator;
    });
  if (!sorted.empty())
    skipping.Step(
        [&] { result += ScaleToText(vb::ToSingle(sorted[0]), false, texts.DecimalSeparator()); });

  Ref<PropertySet> set;
  skipping.Step([&] { set = ActivePropertySet(fmtid::UserDefined); });
  ReplaceProperty(skipping, set, AllViewScalesPropertyName, result);
}

} // namespace vantelo
