// A drawing's sheets and their views.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class SheetsAdapter final : public Sheets, public DispatchObject {
public:
  SheetsAdapter(ComPtr<IDispatch> sheets, AdapterPool& pool)
      : DispatchObject(std::move(sheets), "Sheets", pool) {}

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<Sheet> Item(std::int16_t index) override {
    return MakeSheet(
        Pool(), GetObjectAs(dispid::Item, "Item", iid::Sheet, Arguments(ShortArgument(index))));
  }
};

class SheetAdapter final : public Sheet, public DispatchObject {
public:
  SheetAdapter(ComPtr<IDispatch> sheet, AdapterPool& pool)
      : DispatchObject(std::move(sheet), "Sheet", pool) {}

  std::int32_t Size() override { return GetLong(dispid::SheetSize, "Size"); }

  Ref<vantelo::DrawingViews> DrawingViews() override {
    return MakeDrawingViews(
        Pool(), GetObjectAs(dispid::SheetDrawingViews, "DrawingViews", iid::DrawingViews));
  }

  Ref<vantelo::PartsLists> PartsLists() override {
    return MakePartsLists(Pool(),
                          GetObjectAs(dispid::SheetPartsLists, "PartsLists", iid::PartsLists));
  }
};

class DrawingViewsAdapter final : public DrawingViews, public DispatchObject {
public:
  DrawingViewsAdapter(ComPtr<IDispatch> views, AdapterPool& pool)
      : DispatchObject(std::move(views), "DrawingViews", pool) {}

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<DrawingView> Item(std::int32_t index) override {
    return MakeDrawingView(Pool(), GetObjectAs(dispid::Item, "Item", iid::DrawingView,
                                               Arguments(LongArgument(index))));
  }
};

class DrawingViewAdapter final : public DrawingView, public DispatchObject {
public:
  DrawingViewAdapter(ComPtr<IDispatch> view, AdapterPool& pool)
      : DispatchObject(std::move(view), "DrawingView", pool) {}

  double Scale() override { return GetDouble(dispid::ViewScale, "Scale"); }
};

} // namespace

Ref<Sheets> MakeSheets(AdapterPool& pool, ComPtr<IDispatch> sheets) {
  return Wrapped<SheetsAdapter>(pool, std::move(sheets));
}

Ref<Sheet> MakeSheet(AdapterPool& pool, ComPtr<IDispatch> sheet) {
  return Wrapped<SheetAdapter>(pool, std::move(sheet));
}

Ref<DrawingViews> MakeDrawingViews(AdapterPool& pool, ComPtr<IDispatch> views) {
  return Wrapped<DrawingViewsAdapter>(pool, std::move(views));
}

Ref<DrawingView> MakeDrawingView(AdapterPool& pool, ComPtr<IDispatch> view) {
  return Wrapped<DrawingViewAdapter>(pool, std::move(view));
}

} // namespace vantelo::com::host
