// A part's or assembly's component definition and mass properties, the
// sheet-metal definition with its style, thickness parameter and flat
// pattern, and the geometry read from the flat pattern.
#include "simhost/proxies.h"

#include "addin/failure.h"

#include <memory>
#include <string>

namespace vantelo::sim {

namespace {

[[noreturn]] void Gone(const DocumentData& doc, const char* what) {
  throw Failure(status::Disconnected, std::string(what) + " of '" + doc.name + "' is gone");
}

MassPropertiesData& MassPropertiesOf(DocumentData& doc) {
  if (!doc.massProperties)
    Gone(doc, "the mass properties");
  return *doc.massProperties;
}

SheetMetalData& SheetMetalOf(DocumentData& doc) {
  if (!doc.sheetMetal)
    Gone(doc, "the sheet-metal definition");
  return *doc.sheetMetal;
}

FlatPatternData& FlatPatternOf(DocumentData& doc) {
  auto& sheetMetal = SheetMetalOf(doc);
  if (!sheetMetal.flatPattern)
    Gone(doc, "the flat pattern");
  return *sheetMetal.flatPattern;
}

class MassPropertiesProxy final : public MassProperties, DocumentBound {
public:
  MassPropertiesProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "MassProperties", std::move(document)) {}

  void SetAccuracyByName(std::int32_t accuracy) override {
    Enter(Operation("MassProperties.SetAccuracyByName"));
    MassPropertiesOf(*OpenDocument()).accuracy = accuracy;
  }

  Value MassByName() override {
    Enter(Operation("MassProperties.MassByName"));
    return MassPropertiesOf(*OpenDocument()).mass;
  }

  Value VolumeByName() override {
    Enter(Operation("MassProperties.VolumeByName"));
    return MassPropertiesOf(*OpenDocument()).volume;
  }
};

class ComponentDefinitionProxy final : public ComponentDefinition, DocumentBound {
public:
  ComponentDefinitionProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "ComponentDefinition", std::move(document)) {}

  Ref<vantelo::MassProperties> MassPropertiesByName() override {
    Enter(Operation("ComponentDefinition.MassPropertiesByName"));
    const auto doc = OpenDocument();
    if (!doc->massProperties)
      throw Failure(hresult::Fail, "document '" + doc->name + "' has no mass properties");
    return std::make_shared<MassPropertiesProxy>(State(), Handle());
  }
};

// Geometry objects are transient in the host: a box or point holds the
// coordinates it was made with.
class PointProxy final : public Point, Proxy {
public:
  PointProxy(StatePtr state, PointData point) : Proxy(std::move(state), "Point"), point_(point) {}

  double X() override {
    Enter(Operation("Point.X"));
    return point_.x;
  }

  double Y() override {
    Enter(Operation("Point.Y"));
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
    Enter(Operation("Box.MinPoint"));
    return std::make_shared<PointProxy>(State(), corners_.minPoint);
  }

  Ref<vantelo::Point> MaxPoint() override {
    Enter(Operation("Box.MaxPoint"));
    return std::make_shared<PointProxy>(State(), corners_.maxPoint);
  }

private:
  FlatPatternData corners_;
};

class SurfaceBodyProxy final : public SurfaceBody, DocumentBound {
public:
  SurfaceBodyProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "SurfaceBody", std::move(document)) {}

  Ref<vantelo::Box> RangeBox() override {
    Enter(Operation("SurfaceBody.RangeBox"));
    return std::make_shared<BoxProxy>(State(), FlatPatternOf(*OpenDocument()));
  }
};

class FlatPatternProxy final : public FlatPattern, DocumentBound {
public:
  FlatPatternProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "FlatPattern", std::move(document)) {}

  Ref<vantelo::SurfaceBody> Body() override {
    Enter(Operation("FlatPattern.Body"));
    FlatPatternOf(*OpenDocument());
    return std::make_shared<SurfaceBodyProxy>(State(), Handle());
  }
};

// The thickness parameter of the sheet-metal style.
class ParameterProxy final : public Parameter, DocumentBound {
public:
  ParameterProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "Parameter", std::move(document)) {}

  double Value() override {
    Enter(Operation("Parameter.Value"));
    return SheetMetalOf(*OpenDocument()).thickness;
  }

  std::string Units() override {
    Enter(Operation("Parameter.Units"));
    return SheetMetalOf(*OpenDocument()).thicknessUnits;
  }
};

class SheetMetalStyleProxy final : public SheetMetalStyle, DocumentBound {
public:
  SheetMetalStyleProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "SheetMetalStyle", std::move(document)) {}

  Ref<vantelo::Parameter> Thickness() override {
    Enter(Operation("SheetMetalStyle.Thickness"));
    SheetMetalOf(*OpenDocument());
    return std::make_shared<ParameterProxy>(State(), Handle());
  }

  std::string Name() override {
    Enter(Operation("SheetMetalStyle.Name"));
    return SheetMetalOf(*OpenDocument()).styleName;
  }
};

class SheetMetalDefinitionProxy final : public SheetMetalComponentDefinition, DocumentBound {
public:
  SheetMetalDefinitionProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "SheetMetalComponentDefinition", std::move(document)) {}

  Ref<vantelo::SheetMetalStyle> ActiveSheetMetalStyle() override {
    Enter(Operation("SheetMetalComponentDefinition.ActiveSheetMetalStyle"));
    SheetMetalOf(*OpenDocument());
    return std::make_shared<SheetMetalStyleProxy>(State(), Handle());
  }

  Ref<vantelo::FlatPattern> FlatPattern() override {
    Enter(Operation("SheetMetalComponentDefinition.FlatPattern"));
    if (!SheetMetalOf(*OpenDocument()).flatPattern)
      return nullptr;
    return std::make_shared<FlatPatternProxy>(State(), Handle());
  }
};

class PartComponentDefinitionProxy final : public PartComponentDefinition, DocumentBound {
public:
  PartComponentDefinitionProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "PartComponentDefinition", std::move(document)) {}

  Ref<vantelo::SheetMetalComponentDefinition> AsSheetMetalComponentDefinition() override {
    Enter(Operation("PartComponentDefinition.AsSheetMetalComponentDefinition"));
    const auto doc = OpenDocument();
    if (!doc->sheetMetal)
      throw Failure(hresult::NoInterface, "part '" + doc->name + "' is not sheet metal");
    return std::make_shared<SheetMetalDefinitionProxy>(State(), Handle());
  }
};

} // namespace

Ref<ComponentDefinition> NewComponentDefinition(StatePtr state, DocumentHandle document) {
  return std::make_shared<ComponentDefinitionProxy>(std::move(state), std::move(document));
}

Ref<PartComponentDefinition> NewPartComponentDefinition(StatePtr state, DocumentHandle document) {
  return std::make_shared<PartComponentDefinitionProxy>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
