// A drawing's sheets, a sheet, its drawing views and its parts lists
// collection.
#include "simhost/drawing_lookup.h"
#include "simhost/proxies.h"

#include "addin/failure.h"

#include <limits>
#include <memory>

namespace vantelo::sim {

namespace {

std::int32_t CountOf(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw Failure(hresult::DispOverflow, "the collection is too large to count");
  return static_cast<std::int32_t>(size);
}

class SheetsProxy final : public Sheets, DocumentBound {
public:
  SheetsProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "Sheets", std::move(document)) {}

  std::int32_t Count() override {
    Enter(Operation("Sheets.Count"));
    return CountOf(OpenDocument()->sheets.size());
  }

  Ref<vantelo::Sheet> Item(std::int16_t index) override {
    Enter(Operation("Sheets.Item"));
    const auto doc = OpenDocument();
    return NewSheet(State(), Handle(), ItemPosition(index, doc->sheets.size(), "Sheets"));
  }
};

class SheetProxy final : public Sheet, DocumentBound {
public:
  SheetProxy(StatePtr state, DocumentHandle document, std::size_t sheet)
      : DocumentBound(std::move(state), "Sheet", std::move(document)), sheet_(sheet) {}

  std::int32_t Size() override {
    Enter(Operation("Sheet.Size"));
    return SheetAt(*OpenDocument(), sheet_).size;
  }

  Ref<vantelo::DrawingViews> DrawingViews() override;

  Ref<vantelo::PartsLists> PartsLists() override {
    Enter(Operation("Sheet.PartsLists"));
    SheetAt(*OpenDocument(), sheet_);
    return NewPartsLists(State(), Handle(), sheet_);
  }

private:
  std::size_t sheet_;
};

class DrawingViewProxy final : public DrawingView, DocumentBound {
public:
  DrawingViewProxy(StatePtr state, DocumentHandle document, std::size_t sheet, std::size_t view)
      : DocumentBound(std::move(state), "DrawingView", std::move(document)), sheet_(sheet),
        view_(view) {}

  double Scale() override {
    Enter(Operation("DrawingView.Scale"));
    const auto doc = OpenDocument();
    const auto& scales = SheetAt(*doc, sheet_).viewScales;
    if (view_ >= scales.size())
      throw Failure(status::Disconnected, "view " + std::to_string(view_ + 1) + " on sheet " +
                                              std::to_string(sheet_ + 1) + " of drawing '" +
                                              doc->name + "' is gone");
    return scales[view_];
  }

private:
  std::size_t sheet_;
  std::size_t view_;
};

class DrawingViewsProxy final : public DrawingViews, DocumentBound {
public:
  DrawingViewsProxy(StatePtr state, DocumentHandle document, std::size_t sheet)
      : DocumentBound(std::move(state), "DrawingViews", std::move(document)), sheet_(sheet) {}

  std::int32_t Count() override {
    Enter(Operation("DrawingViews.Count"));
    return CountOf(SheetAt(*OpenDocument(), sheet_).viewScales.size());
  }

  Ref<vantelo::DrawingView> Item(std::int32_t index) override {
    Enter(Operation("DrawingViews.Item"));
    const auto doc = OpenDocument();
    const auto view = ItemPosition(index, SheetAt(*doc, sheet_).viewScales.size(), "DrawingViews");
    return std::make_shared<DrawingViewProxy>(State(), Handle(), sheet_, view);
  }

private:
  std::size_t sheet_;
};

Ref<vantelo::DrawingViews> SheetProxy::DrawingViews() {
  Enter(Operation("Sheet.DrawingViews"));
  SheetAt(*OpenDocument(), sheet_);
  return std::make_shared<DrawingViewsProxy>(State(), Handle(), sheet_);
}

} // namespace

Ref<Sheets> NewSheets(StatePtr state, DocumentHandle document) {
  return std::make_shared<SheetsProxy>(std::move(state), std::move(document));
}

Ref<Sheet> NewSheet(StatePtr state, DocumentHandle document, std::size_t sheet) {
  return std::make_shared<SheetProxy>(std::move(state), std::move(document), sheet);
}

} // namespace vantelo::sim
