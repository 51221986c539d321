// A drawing's sheets and their views.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class SheetsAdapter final : public Sheets, public DispatchObject {
public:
  explicit SheetsAdapter(ComPtr<IDispatch> sheets) : DispatchObject(std::move(sheets), "Sheets") {}

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<Sheet> Item(std::int16_t index) override {
    return MakeSheet(
        GetObjectAs(dispid::Item, "Item", iid::Sheet, Arguments(ShortArgument(index))));
  }
};

class SheetAdapter final : public Sheet, public DispatchObject {
public:
  explicit SheetAdapter(ComPtr<IDispatch> sheet) : DispatchObject(std::move(sheet), "Sheet") {}

  std::int32_t Size() override { return GetLong(dispid::SheetSize, "Size"); }

  Ref<vantelo::DrawingViews> DrawingViews() override {
    return MakeDrawingViews(
        GetObjectAs(dispid::SheetDrawingViews, "DrawingViews", iid::DrawingViews));
  }

  Ref<vantelo::PartsLists> PartsLists() override {
    return MakePartsLists(GetObjectAs(dispid::SheetPartsLists, "PartsLists", iid::PartsLists));
  }
};

class DrawingViewsAdapter final : public DrawingViews, public DispatchObject {
public:
  explicit DrawingViewsAdapter(ComPtr<IDispatch> views)
      : DispatchObject(std::move(views), "DrawingViews") {}

  std::int32_t Count() override { return GetLong(dispid::Count, "Count"); }

  Ref<DrawingView> Item(std::int32_t index) override {
    return MakeDrawingView(
        GetObjectAs(dispid::Item, "Item", iid::DrawingView, Arguments(LongArgument(index))));
  }
};

class DrawingViewAdapter final : public DrawingView, public DispatchObject {
public:
  explicit DrawingViewAdapter(ComPtr<IDispatch> view)
      : DispatchObject(std::move(view), "DrawingView") {}

  double Scale() override { return GetDouble(dispid::ViewScale, "Scale"); }
};

} // namespace

Ref<Sheets> MakeSheets(ComPtr<IDispatch> sheets) {
  return Wrapped<SheetsAdapter>(std::move(sheets));
}

Ref<Sheet> MakeSheet(ComPtr<IDispatch> sheet) { return Wrapped<SheetAdapter>(std::move(sheet)); }

Ref<DrawingViews> MakeDrawingViews(ComPtr<IDispatch> views) {
  return Wrapped<DrawingViewsAdapter>(std::move(views));
}

Ref<DrawingView> MakeDrawingView(ComPtr<IDispatch> view) {
  return Wrapped<DrawingViewAdapter>(std::move(view));
}

} // namespace vantelo::com::host
