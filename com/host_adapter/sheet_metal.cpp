// A part's component definition taken as a sheet-metal definition, its style
// and thickness, and the flat pattern down to its range box corners.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PartComponentDefinitionAdapter final : public PartComponentDefinition, public DispatchObject {
public:
  PartComponentDefinitionAdapter(ComPtr<IDispatch> definition, AdapterPool& pool)
      : DispatchObject(std::move(definition), "PartComponentDefinition", pool) {}

  Ref<SheetMetalComponentDefinition> AsSheetMetalComponentDefinition() override {
    return MakeSheetMetalComponentDefinition(
        Pool(), QueryAs(iid::SheetMetalComponentDefinition, "a sheet-metal component definition"));
  }
};

class SheetMetalComponentDefinitionAdapter final : public SheetMetalComponentDefinition,
                                                   public DispatchObject {
public:
  SheetMetalComponentDefinitionAdapter(ComPtr<IDispatch> definition, AdapterPool& pool)
      : DispatchObject(std::move(definition), "SheetMetalComponentDefinition", pool) {}

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
  SheetMetalStyleAdapter(ComPtr<IDispatch> style, AdapterPool& pool)
      : DispatchObject(std::move(style), "SheetMetalStyle", pool) {}

  Ref<Parameter> Thickness() override {
    return MakeParameter(Pool(), GetObjectAs(dispid::StyleThickness, "Thickness", iid::Parameter));
  }

  std::string Name() override { return GetText(dispid::StyleName, "Name"); }
};

class ParameterAdapter final : public Parameter, public DispatchObject {
public:
  ParameterAdapter(ComPtr<IDispatch> parameter, AdapterPool& pool)
      : DispatchObject(std::move(parameter), "Parameter", pool) {}

  double Value() override { return GetDouble(dispid::ParameterValue, "Value"); }
  std::string Units() override { return GetText(dispid::ParameterUnits, "Units"); }
};

class FlatPatternAdapter final : public FlatPattern, public DispatchObject {
public:
  FlatPatternAdapter(ComPtr<IDispatch> flatPattern, AdapterPool& pool)
      : DispatchObject(std::move(flatPattern), "FlatPattern", pool) {}

  Ref<SurfaceBody> Body() override {
    return MakeSurfaceBody(Pool(), GetObjectAs(dispid::FlatPatternBody, "Body", iid::SurfaceBody));
  }
};

class SurfaceBodyAdapter final : public SurfaceBody, public DispatchObject {
public:
  SurfaceBodyAdapter(ComPtr<IDispatch> body, AdapterPool& pool)
      : DispatchObject(std::move(body), "SurfaceBody", pool) {}

  Ref<Box> RangeBox() override {
    return MakeBox(Pool(), GetObjectAs(dispid::BodyRangeBox, "RangeBox", iid::Box));
  }
};

class BoxAdapter final : public Box, public DispatchObject {
public:
  BoxAdapter(ComPtr<IDispatch> box, AdapterPool& pool)
      : DispatchObject(std::move(box), "Box", pool) {}

  Ref<Point> MinPoint() override {
    return MakePoint(Pool(), GetObjectAs(dispid::BoxMinPoint, "MinPoint", iid::Point));
  }

  Ref<Point> MaxPoint() override {
    return MakePoint(Pool(), GetObjectAs(dispid::BoxMaxPoint, "MaxPoint", iid::Point));
  }
};

class PointAdapter final : public Point, public DispatchObject {
public:
  PointAdapter(ComPtr<IDispatch> point, AdapterPool& pool)
      : DispatchObject(std::move(point), "Point", pool) {}

  double X() override { return GetDouble(dispid::PointX, "X"); }
  double Y() override { return GetDouble(dispid::PointY, "Y"); }
};

} // namespace

Ref<PartComponentDefinition> MakePartComponentDefinition(AdapterPool& pool,
                                                         ComPtr<IDispatch> definition) {
  return Wrapped<PartComponentDefinitionAdapter>(pool, std::move(definition));
}

Ref<SheetMetalComponentDefinition> MakeSheetMetalComponentDefinition(AdapterPool& pool,
                                                                     ComPtr<IDispatch> definition) {
  return Wrapped<SheetMetalComponentDefinitionAdapter>(pool, std::move(definition));
}

Ref<SheetMetalStyle> MakeSheetMetalStyle(AdapterPool& pool, ComPtr<IDispatch> style) {
  return Wrapped<SheetMetalStyleAdapter>(pool, std::move(style));
}

Ref<Parameter> MakeParameter(AdapterPool& pool, ComPtr<IDispatch> parameter) {
  return Wrapped<ParameterAdapter>(pool, std::move(parameter));
}

Ref<FlatPattern> MakeFlatPattern(AdapterPool& pool, ComPtr<IDispatch> flatPattern) {
  return Wrapped<FlatPatternAdapter>(pool, std::move(flatPattern));
}

Ref<SurfaceBody> MakeSurfaceBody(AdapterPool& pool, ComPtr<IDispatch> body) {
  return Wrapped<SurfaceBodyAdapter>(pool, std::move(body));
}

Ref<Box> MakeBox(AdapterPool& pool, ComPtr<IDispatch> box) {
  return Wrapped<BoxAdapter>(pool, std::move(box));
}

Ref<Point> MakePoint(AdapterPool& pool, ComPtr<IDispatch> point) {
  return Wrapped<PointAdapter>(pool, std::move(point));
}

} // namespace vantelo::com::host
