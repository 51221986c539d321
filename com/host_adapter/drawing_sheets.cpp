// A drawing's sheets and their views.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class SheetsAdapter final : public Sheets, public DispatchObject {
public:
  explicit SheetsAdapter(ComPtr<IDispatch> sheets) : DispatchObject(std::move(sheets), "Sheets") {}

  std::int32_t Count() override { return toLong(get(dispid::Count, "Count"), "Count"); }

  Ref<Sheet> Item(std::int16_t index) override {
    return makeSheet(
        objectAs(get(dispid::Item, "Item", Arguments(shortArgument(index))), iid::Sheet, "Item"));
  }
};

class SheetAdapter final : public Sheet, public DispatchObject {
public:
  explicit SheetAdapter(ComPtr<IDispatch> sheet) : DispatchObject(std::move(sheet), "Sheet") {}

  std::int32_t Size() override { return toLong(get(dispid::SheetSize, "Size"), "Size"); }

  Ref<vantelo::DrawingViews> DrawingViews() override {
    return makeDrawingViews(objectAs(get(dispid::SheetDrawingViews, "DrawingViews"),
                                     iid::DrawingViews, "DrawingViews"));
  }

  Ref<vantelo::PartsLists> PartsLists() override {
    return makePartsLists(
        objectAs(get(dispid::SheetPartsLists, "PartsLists"), iid::PartsLists, "PartsLists"));
  }
};

class DrawingViewsAdapter final : public DrawingViews, public DispatchObject {
public:
  explicit DrawingViewsAdapter(ComPtr<IDispatch> views)
      : DispatchObject(std::move(views), "DrawingViews") {}

  std::int32_t Count() override { return toLong(get(dispid::Count, "Count"), "Count"); }

  Ref<DrawingView> Item(std::int32_t index) override {
    return makeDrawingView(objectAs(get(dispid::Item, "Item", Arguments(longArgument(index))),
                                    iid::DrawingView, "Item"));
  }
};

class DrawingViewAdapter final : public DrawingView, public DispatchObject {
public:
  explicit DrawingViewAdapter(ComPtr<IDispatch> view)
      : DispatchObject(std::move(view), "DrawingView") {}

  double Scale() override { return toDouble(get(dispid::ViewScale, "Scale"), "Scale"); }
};

} // namespace

Ref<Sheets> makeSheets(ComPtr<IDispatch> sheets) {
  return wrapped<SheetsAdapter>(std::move(sheets));
}

Ref<Sheet> makeSheet(ComPtr<IDispatch> sheet) { return wrapped<SheetAdapter>(std::move(sheet)); }

Ref<DrawingViews> makeDrawingViews(ComPtr<IDispatch> views) {
  return wrapped<DrawingViewsAdapter>(std::move(views));
}

Ref<DrawingView> makeDrawingView(ComPtr<IDispatch> view) {
  return wrapped<DrawingViewAdapter>(std::move(view));
}

} // namespace vantelo::com::host
