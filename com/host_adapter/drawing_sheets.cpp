// A drawing's sheets and their views.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class SheetsAdapter final : public Sheets, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<Sheet> Item(std::int16_t index) override {
    return MakeSheet(
        Pool(), GetObjectAs(dispid::Item, "Item", iid::Sheet, Arguments(ShortArgument(index))));
  }
};

class SheetAdapter final : public Sheet, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

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
  using DispatchObject::DispatchObject;

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<DrawingView> Item(std::int32_t index) override {
    return MakeDrawingView(Pool(), GetObjectAs(dispid::Item, "Item", iid::DrawingView,
                                               Arguments(LongArgument(index))));
  }
};

class DrawingViewAdapter final : public DrawingView, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  double Scale() override { return GetDouble(dispid::ViewScale, "Scale"); }
};

} // namespace

Ref<Sheets> MakeSheets(AdapterPool& pool, ComPtr<IDispatch> sheets) {
  return Wrapped<SheetsAdapter>(pool, std::move(sheets), "Sheets");
}

Ref<Sheet> MakeSheet(AdapterPool& pool, ComPtr<IDispatch> sheet) {
  return Wrapped<SheetAdapter>(pool, std::move(sheet), "Sheet");
}

Ref<DrawingViews> MakeDrawingViews(AdapterPool& pool, ComPtr<IDispatch> views) {
  return Wrapped<DrawingViewsAdapter>(pool, std::move(views), "DrawingViews");
}

Ref<DrawingView> MakeDrawingView(AdapterPool& pool, ComPtr<IDispatch> view) {
  return Wrapped<DrawingViewAdapter>(pool, std::move(view), "DrawingView");
}

} // namespace vantelo::com::host
