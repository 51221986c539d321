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
    return makeSheetMetalComponentDefinition(
        queryAs(iid::SheetMetalComponentDefinition, "a sheet-metal component definition"));
  }
};

class SheetMetalComponentDefinitionAdapter final : public SheetMetalComponentDefinition,
                                                   public DispatchObject {
public:
  explicit SheetMetalComponentDefinitionAdapter(ComPtr<IDispatch> definition)
      : DispatchObject(std::move(definition), "SheetMetalComponentDefinition") {}

  Ref<SheetMetalStyle> ActiveSheetMetalStyle() override {
    return makeSheetMetalStyle(objectAs(get(dispid::ActiveSheetMetalStyle, "ActiveSheetMetalStyle"),
                                        iid::SheetMetalStyle, "ActiveSheetMetalStyle"));
  }

  Ref<vantelo::FlatPattern> FlatPattern() override {
    return makeFlatPattern(
        objectAs(get(dispid::FlatPattern, "FlatPattern"), iid::FlatPattern, "FlatPattern"));
  }
};

class SheetMetalStyleAdapter final : public SheetMetalStyle, public DispatchObject {
public:
  explicit SheetMetalStyleAdapter(ComPtr<IDispatch> style)
      : DispatchObject(std::move(style), "SheetMetalStyle") {}

  Ref<Parameter> Thickness() override {
    return makeParameter(
        objectAs(get(dispid::StyleThickness, "Thickness"), iid::Parameter, "Thickness"));
  }

  std::string Name() override { return toText(get(dispid::StyleName, "Name"), "Name"); }
};

class ParameterAdapter final : public Parameter, public DispatchObject {
public:
  explicit ParameterAdapter(ComPtr<IDispatch> parameter)
      : DispatchObject(std::move(parameter), "Parameter") {}

  double Value() override { return toDouble(get(dispid::ParameterValue, "Value"), "Value"); }
  std::string Units() override { return toText(get(dispid::ParameterUnits, "Units"), "Units"); }
};

class FlatPatternAdapter final : public FlatPattern, public DispatchObject {
public:
  explicit FlatPatternAdapter(ComPtr<IDispatch> flatPattern)
      : DispatchObject(std::move(flatPattern), "FlatPattern") {}

  Ref<SurfaceBody> Body() override {
    return makeSurfaceBody(
        objectAs(get(dispid::FlatPatternBody, "Body"), iid::SurfaceBody, "Body"));
  }
};

class SurfaceBodyAdapter final : public SurfaceBody, public DispatchObject {
public:
  explicit SurfaceBodyAdapter(ComPtr<IDispatch> body)
      : DispatchObject(std::move(body), "SurfaceBody") {}

  Ref<Box> RangeBox() override {
    return makeBox(objectAs(get(dispid::BodyRangeBox, "RangeBox"), iid::Box, "RangeBox"));
  }
};

class BoxAdapter final : public Box, public DispatchObject {
public:
  explicit BoxAdapter(ComPtr<IDispatch> box) : DispatchObject(std::move(box), "Box") {}

  Ref<Point> MinPoint() override {
    return makePoint(objectAs(get(dispid::BoxMinPoint, "MinPoint"), iid::Point, "MinPoint"));
  }

  Ref<Point> MaxPoint() override {
    return makePoint(objectAs(get(dispid::BoxMaxPoint, "MaxPoint"), iid::Point, "MaxPoint"));
  }
};

class PointAdapter final : public Point, public DispatchObject {
public:
  explicit PointAdapter(ComPtr<IDispatch> point) : DispatchObject(std::move(point), "Point") {}

  double X() override { return toDouble(get(dispid::PointX, "X"), "X"); }
  double Y() override { return toDouble(get(dispid::PointY, "Y"), "Y"); }
};

} // namespace

Ref<PartComponentDefinition> makePartComponentDefinition(ComPtr<IDispatch> definition) {
  return wrapped<PartComponentDefinitionAdapter>(std::move(definition));
}

Ref<SheetMetalComponentDefinition> makeSheetMetalComponentDefinition(ComPtr<IDispatch> definition) {
  return wrapped<SheetMetalComponentDefinitionAdapter>(std::move(definition));
}

Ref<SheetMetalStyle> makeSheetMetalStyle(ComPtr<IDispatch> style) {
  return wrapped<SheetMetalStyleAdapter>(std::move(style));
}

Ref<Parameter> makeParameter(ComPtr<IDispatch> parameter) {
  return wrapped<ParameterAdapter>(std::move(parameter));
}

Ref<FlatPattern> makeFlatPattern(ComPtr<IDispatch> flatPattern) {
  return wrapped<FlatPatternAdapter>(std::move(flatPattern));
}

Ref<SurfaceBody> makeSurfaceBody(ComPtr<IDispatch> body) {
  return wrapped<SurfaceBodyAdapter>(std::move(body));
}

Ref<Box> makeBox(ComPtr<IDispatch> box) { return wrapped<BoxAdapter>(std::move(box)); }

Ref<Point> makePoint(ComPtr<IDispatch> point) { return wrapped<PointAdapter>(std::move(point)); }

} // namespace vantelo::com::host
