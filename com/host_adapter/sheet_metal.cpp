// A part's component definition taken as a sheet-metal definition, its style
// and thickness, and the flat pattern down to its range box corners.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PartComponentDefinitionAdapter final : public PartComponentDefinition, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<SheetMetalComponentDefinition> AsSheetMetalComponentDefinition() override {
    return MakeSheetMetalComponentDefinition(
        Pool(), QueryAs(iid::SheetMetalComponentDefinition, "a sheet-metal component definition"));
  }
};

class SheetMetalComponentDefinitionAdapter final : public SheetMetalComponentDefinition,
                                                   public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<SheetMetalStyle> ActiveSheetMetalStyle() override {
    return MakeSheetMetalStyle(Pool(), GetObjectAs(dispid::ActiveSheetMetalStyle,
                                                   "ActiveSheetMetalStyle", iid::SheetMetalStyle));
  }

  Ref<vantelo::FlatPattern> FlatPattern() override {
    return MakeFlatPattern(Pool(),
                           GetObjectAs(dispid::FlatPattern, "FlatPattern", iid::FlatPattern));
  }
};

class SheetMetalStyleAdapter final : public SheetMetalStyle, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<Parameter> Thickness() override {
    return MakeParameter(Pool(), GetObjectAs(dispid::StyleThickness, "Thickness", iid::Parameter));
  }

  std::string Name() override { return GetText(dispid::StyleName, "Name"); }
};

class ParameterAdapter final : public Parameter, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  double Value() override { return GetDouble(dispid::ParameterValue, "Value"); }
  std::string Units() override { return GetText(dispid::ParameterUnits, "Units"); }
};

class FlatPatternAdapter final : public FlatPattern, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<SurfaceBody> Body() override {
    return MakeSurfaceBody(Pool(), GetObjectAs(dispid::FlatPatternBody, "Body", iid::SurfaceBody));
  }
};

class SurfaceBodyAdapter final : public SurfaceBody, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<Box> RangeBox() override {
    return MakeBox(Pool(), GetObjectAs(dispid::BodyRangeBox, "RangeBox", iid::Box));
  }
};

class BoxAdapter final : public Box, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  Ref<Point> MinPoint() override {
    return MakePoint(Pool(), GetObjectAs(dispid::BoxMinPoint, "MinPoint", iid::Point));
  }

  Ref<Point> MaxPoint() override {
    return MakePoint(Pool(), GetObjectAs(dispid::BoxMaxPoint, "MaxPoint", iid::Point));
  }
};

class PointAdapter final : public Point, public DispatchObject {
public:
  using DispatchObject::DispatchObject;

  double X() override { return GetDouble(dispid::PointX, "X"); }
  double Y() override { return GetDouble(dispid::PointY, "Y"); }
};

} // namespace

Ref<PartComponentDefinition> MakePartComponentDefinition(AdapterPool& pool,
                                                         ComPtr<IDispatch> definition) {
  return Wrapped<PartComponentDefinitionAdapter>(pool, std::move(definition),
                                                 "PartComponentDefinition");
}

Ref<SheetMetalComponentDefinition> MakeSheetMetalComponentDefinition(AdapterPool& pool,
                                                                     ComPtr<IDispatch> definition) {
  return Wrapped<SheetMetalComponentDefinitionAdapter>(pool, std::move(definition),
                                                       "SheetMetalComponentDefinition");
}

Ref<SheetMetalStyle> MakeSheetMetalStyle(AdapterPool& pool, ComPtr<IDispatch> style) {
  return Wrapped<SheetMetalStyleAdapter>(pool, std::move(style), "SheetMetalStyle");
}

Ref<Parameter> MakeParameter(AdapterPool& pool, ComPtr<IDispatch> parameter) {
  return Wrapped<ParameterAdapter>(pool, std::move(parameter), "Parameter");
}

Ref<FlatPattern> MakeFlatPattern(AdapterPool& pool, ComPtr<IDispatch> flatPattern) {
  return Wrapped<FlatPatternAdapter>(pool, std::move(flatPattern), "FlatPattern");
}

Ref<SurfaceBody> MakeSurfaceBody(AdapterPool& pool, ComPtr<IDispatch> body) {
  return Wrapped<SurfaceBodyAdapter>(pool, std::move(body), "SurfaceBody");
}

Ref<Box> MakeBox(AdapterPool& pool, ComPtr<IDispatch> box) {
  return Wrapped<BoxAdapter>(pool, std::move(box), "Box");
}

Ref<Point> MakePoint(AdapterPool& pool, ComPtr<IDispatch> point) {
  return Wrapped<PointAdapter>(pool, std::move(point), "Point");
}

} // namespace vantelo::com::host
