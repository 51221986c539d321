// A part's or assembly's component definition and mass properties, the
// sheet-metal definition with its style, thickness parameter and flat
// pattern, and the geometry read from the flat pattern.
#include "simhost/proxies.h"

#include "addin/failure.h"

#include <memory>
#include <string>

namespace vantelo::sim {

namespace {

[[noreturn]] void gone(const DocumentData& doc, const char* what) {
  throw Failure(status::Disconnected, std::string(what) + " of '" + doc.name + "' is gone");
}

MassPropertiesData& massPropertiesOf(DocumentData& doc) {
  if (!doc.massProperties)
    gone(doc, "the mass properties");
  return *doc.massProperties;
}

SheetMetalData& sheetMetalOf(DocumentData& doc) {
  if (!doc.sheetMetal)
    gone(doc, "the sheet-metal definition");
  return *doc.sheetMetal;
}

FlatPatternData& flatPatternOf(DocumentData& doc) {
  auto& sheetMetal = sheetMetalOf(doc);
  if (!sheetMetal.flatPattern)
    gone(doc, "the flat pattern");
  return *sheetMetal.flatPattern;
}

class MassPropertiesProxy final : public MassProperties, DocumentBound {
public:
  MassPropertiesProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "MassProperties", std::move(document)) {}

  void SetAccuracyByName(std::int32_t accuracy) override {
    enter(operation("MassProperties.SetAccuracyByName"));
    massPropertiesOf(*document()).accuracy = accuracy;
  }

  Value MassByName() override {
    enter(operation("MassProperties.MassByName"));
    return massPropertiesOf(*document()).mass;
  }

  Value VolumeByName() override {
    enter(operation("MassProperties.VolumeByName"));
    return massPropertiesOf(*document()).volume;
  }
};

class ComponentDefinitionProxy final : public ComponentDefinition, DocumentBound {
public:
  ComponentDefinitionProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "ComponentDefinition", std::move(document)) {}

  Ref<vantelo::MassProperties> MassPropertiesByName() override {
    enter(operation("ComponentDefinition.MassPropertiesByName"));
    const auto doc = document();
    if (!doc->massProperties)
      throw Failure(hresult::Fail, "document '" + doc->name + "' has no mass properties");
    return std::make_shared<MassPropertiesProxy>(state(), handle());
  }
};

// Geometry objects are transient in the host: a box or point holds the
// coordinates it was made with.
class PointProxy final : public Point, Proxy {
public:
  PointProxy(StatePtr state, PointData point) : Proxy(std::move(state), "Point"), point_(point) {}

  double X() override {
    enter(operation("Point.X"));
    return point_.x;
  }

  double Y() override {
    enter(operation("Point.Y"));
    return point_.y;
  }

private:
  PointData point_;
};

class BoxProxy final : public Box, Proxy {
public:
  BoxProxy(StatePtr state, FlatPatternData corners)
      : Proxy(std::move(state), "Box"), corners_(corners) {}

  Ref<vantelo::Point> MinPoint() override {
    enter(operation("Box.MinPoint"));
    return std::make_shared<PointProxy>(state(), corners_.minPoint);
  }

  Ref<vantelo::Point> MaxPoint() override {
    enter(operation("Box.MaxPoint"));
    return std::make_shared<PointProxy>(state(), corners_.maxPoint);
  }

private:
  FlatPatternData corners_;
};

class SurfaceBodyProxy final : public SurfaceBody, DocumentBound {
public:
  SurfaceBodyProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "SurfaceBody", std::move(document)) {}

  Ref<vantelo::Box> RangeBox() override {
    enter(operation("SurfaceBody.RangeBox"));
    return std::make_shared<BoxProxy>(state(), flatPatternOf(*document()));
  }
};

class FlatPatternProxy final : public FlatPattern, DocumentBound {
public:
  FlatPatternProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "FlatPattern", std::move(document)) {}

  Ref<vantelo::SurfaceBody> Body() override {
    enter(operation("FlatPattern.Body"));
    flatPatternOf(*document());
    return std::make_shared<SurfaceBodyProxy>(state(), handle());
  }
};

// The thickness parameter of the sheet-metal style.
class ParameterProxy final : public Parameter, DocumentBound {
public:
  ParameterProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "Parameter", std::move(document)) {}

  double Value() override {
    enter(operation("Parameter.Value"));
    return sheetMetalOf(*document()).thickness;
  }

  std::string Units() override {
    enter(operation("Parameter.Units"));
    return sheetMetalOf(*document()).thicknessUnits;
  }
};

class SheetMetalStyleProxy final : public SheetMetalStyle, DocumentBound {
public:
  SheetMetalStyleProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "SheetMetalStyle", std::move(document)) {}

  Ref<vantelo::Parameter> Thickness() override {
    enter(operation("SheetMetalStyle.Thickness"));
    sheetMetalOf(*document());
    return std::make_shared<ParameterProxy>(state(), handle());
  }

  std::string Name() override {
    enter(operation("SheetMetalStyle.Name"));
    return sheetMetalOf(*document()).styleName;
  }
};

class SheetMetalDefinitionProxy final : public SheetMetalComponentDefinition, DocumentBound {
public:
  SheetMetalDefinitionProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "SheetMetalComponentDefinition", std::move(document)) {}

  Ref<vantelo::SheetMetalStyle> ActiveSheetMetalStyle() override {
    enter(operation("SheetMetalComponentDefinition.ActiveSheetMetalStyle"));
    sheetMetalOf(*document());
    return std::make_shared<SheetMetalStyleProxy>(state(), handle());
  }

  Ref<vantelo::FlatPattern> FlatPattern() override {
    enter(operation("SheetMetalComponentDefinition.FlatPattern"));
    if (!sheetMetalOf(*document()).flatPattern)
      return nullptr;
    return std::make_shared<FlatPatternProxy>(state(), handle());
  }
};

class PartComponentDefinitionProxy final : public PartComponentDefinition, DocumentBound {
public:
  PartComponentDefinitionProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "PartComponentDefinition", std::move(document)) {}

  Ref<vantelo::SheetMetalComponentDefinition> AsSheetMetalComponentDefinition() override {
    enter(operation("PartComponentDefinition.AsSheetMetalComponentDefinition"));
    const auto doc = document();
    if (!doc->sheetMetal)
      throw Failure(hresult::NoInterface, "part '" + doc->name + "' is not sheet metal");
    return std::make_shared<SheetMetalDefinitionProxy>(state(), handle());
  }
};

} // namespace

Ref<ComponentDefinition> newComponentDefinition(StatePtr state, DocumentHandle document) {
  return std::make_shared<ComponentDefinitionProxy>(std::move(state), std::move(document));
}

Ref<PartComponentDefinition> newPartComponentDefinition(StatePtr state, DocumentHandle document) {
  return std::make_shared<PartComponentDefinitionProxy>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
