// A part's component definition taken as a sheet-metal definition, its style
// and thickness, and the flat pattern down to its range box corners.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

class PartComponentDefinitionAdapter final : public PartComponentDefinition, public DispatchObject {
public:
  explicit PartComponentDefinitionAdapter(ComPtr<IDispatch> definition)
      : DispatchObject(std::move(definition), "PartComponentDefinition") {}

  Ref<SheetMetalComponentDefinition> AsSheetMetalComponentDefinition() override {
    return MakeSheetMetalComponentDefinition(
        QueryAs(iid::SheetMetalComponentDefinition, "a sheet-metal component definition"));
  }
};

class SheetMetalComponentDefinitionAdapter final : public SheetMetalComponentDefinition,
                                                   public DispatchObject {
public:
  explicit SheetMetalComponentDefinitionAdapter(ComPtr<IDispatch> definition)
      : DispatchObject(std::move(definition), "SheetMetalComponentDefinition") {}

  Ref<SheetMetalStyle> ActiveSheetMetalStyle() override {
    return MakeSheetMetalStyle(
        GetObjectAs(dispid::ActiveSheetMetalStyle, "ActiveSheetMetalStyle", iid::SheetMetalStyle));
  }

  Ref<vantelo::FlatPattern> FlatPattern() override {
    return MakeFlatPattern(GetObjectAs(dispid::FlatPattern, "FlatPattern", iid::FlatPattern));
  }
};

class SheetMetalStyleAdapter final : public SheetMetalStyle, public DispatchObject {
public:
  explicit SheetMetalStyleAdapter(ComPtr<IDispatch> style)
      : DispatchObject(std::move(style), "SheetMetalStyle") {}

  Ref<Parameter> Thickness() override {
    return MakeParameter(GetObjectAs(dispid::StyleThickness, "Thickness", iid::Parameter));
  }

  std::string Name() override { return GetText(dispid::StyleName, "Name"); }
};

class ParameterAdapter final : public Parameter, public DispatchObject {
public:
  explicit ParameterAdapter(ComPtr<IDispatch> parameter)
      : DispatchObject(std::move(parameter), "Parameter") {}

  double Value() override { return GetDouble(dispid::ParameterValue, "Value"); }
  std::string Units() override { return GetText(dispid::ParameterUnits, "Units"); }
};

class FlatPatternAdapter final : public FlatPattern, public DispatchObject {
public:
  explicit FlatPatternAdapter(ComPtr<IDispatch> flatPattern)
      : DispatchObject(std::move(flatPattern), "FlatPattern") {}

  Ref<SurfaceBody> Body() override {
    return MakeSurfaceBody(GetObjectAs(dispid::FlatPatternBody, "Body", iid::SurfaceBody));
  }
};

class SurfaceBodyAdapter final : public SurfaceBody, public DispatchObject {
public:
  explicit SurfaceBodyAdapter(ComPtr<IDispatch> body)
      : DispatchObject(std::move(body), "SurfaceBody") {}

  Ref<Box> RangeBox() override {
    return MakeBox(GetObjectAs(dispid::BodyRangeBox, "RangeBox", iid::Box));
  }
};

class BoxAdapter final : public Box, public DispatchObject {
public:
  explicit BoxAdapter(ComPtr<IDispatch> box) : DispatchObject(std::move(box), "Box") {}

  Ref<Point> MinPoint() override {
    return MakePoint(GetObjectAs(dispid::BoxMinPoint, "MinPoint", iid::Point));
  }

  Ref<Point> MaxPoint() override {
    return MakePoint(GetObjectAs(dispid::BoxMaxPoint, "MaxPoint", iid::Point));
  }
};

class PointAdapter final : public Point, public DispatchObject {
public:
  explicit PointAdapter(ComPtr<IDispatch> point) : DispatchObject(std::move(point), "Point") {}

  double X() override { return GetDouble(dispid::PointX, "X"); }
  double Y() override { return GetDouble(dispid::PointY, "Y"); }
};

} // namespace

Ref<PartComponentDefinition> MakePartComponentDefinition(ComPtr<IDispatch> definition) {
  return Wrapped<PartComponentDefinitionAdapter>(std::move(definition));
}

Ref<SheetMetalComponentDefinition> MakeSheetMetalComponentDefinition(ComPtr<IDispatch> definition) {
  return Wrapped<SheetMetalComponentDefinitionAdapter>(std::move(definition));
}

Ref<SheetMetalStyle> MakeSheetMetalStyle(ComPtr<IDispatch> style) {
  return Wrapped<SheetMetalStyleAdapter>(std::move(style));
}

Ref<Parameter> MakeParameter(ComPtr<IDispatch> parameter) {
  return Wrapped<ParameterAdapter>(std::move(parameter));
}

Ref<FlatPattern> MakeFlatPattern(ComPtr<IDispatch> flatPattern) {
  return Wrapped<FlatPatternAdapter>(std::move(flatPattern));
}

Ref<SurfaceBody> MakeSurfaceBody(ComPtr<IDispatch> body) {
  return Wrapped<SurfaceBodyAdapter>(std::move(body));
}

Ref<Box> MakeBox(ComPtr<IDispatch> box) { return Wrapped<BoxAdapter>(std::move(box)); }

Ref<Point> MakePoint(ComPtr<IDispatch> point) { return Wrapped<PointAdapter>(std::move(point)); }

} // namespace vantelo::com::host
