#include "support/operation_script.h"

#include "addin/host_model.h"

#include <initializer_list>

namespace vantelo::test {
namespace {

class Script {
public:
  explicit Script(OperationScript& out) : out_(out) {}

  void Outward(const char* owner, std::initializer_list<const char*> names) {
    for (const char* name : names)
      out_.push_back({name, owner, true});
  }
  void Silent(const char* owner, std::initializer_list<const char*> names) {
    for (const char* name : names)
      out_.push_back({name, owner, false});
  }
  // Silent operations that the mass, the volume or both depend on.
  void Reads(const char* owner, bool mass, bool volume, std::initializer_list<const char*> names) {
    for (const char* name : names)
      out_.push_back({name, owner, false, mass, volume});
  }

private:
  OperationScript& out_;
};

// The user-defined set reached afresh from the application: active
// document, its property sets, the set by format identifier.
void ReachSet(Script& s, const char* owner) {
  s.Silent(owner, {"Application.ActiveDocument", "Document.PropertySets", "PropertySets.Item"});
}

// The property looked up by name and deleted (it exists in the swept
// documents), then added anew.
void Delete(Script& s, const char* owner) {
  s.Silent(owner, {"PropertySet.Item", "Property.Delete"});
}
void Add(Script& s, const char* owner) { s.Silent(owner, {"PropertySet.Add"}); }

// The save time stamp: error skipping from its first step; the set reached
// once, then date and time each deleted and added.
void TimeStamp(Script& s, const sim::DocumentData* active) {
  const char* w = "TimeStamp";
  if (!active) {
    s.Silent(w, {"Application.ActiveDocument"}); // nothing to reach the set from
    return;
  }
  ReachSet(s, w);
  Delete(s, w);
  Add(s, w);
  Delete(s, w);
  Add(s, w);
}

// The active document taken as a drawing, before error skipping.
void TakeDrawing(Script& s, const char* owner) {
  s.Outward(owner, {"Application.ActiveDocument", "Document.AsDrawingDocument"});
}

// A view's scale, reached afresh from the drawing.
void ReadScale(Script& s, const char* owner) {
  s.Silent(owner, {"DrawingDocument.Sheets", "Sheets.Item", "Sheet.DrawingViews",
                   "DrawingViews.Item", "DrawingView.Scale"});
}

void ViewScaleFirst(Script& s) {
  const char* w = "ViewScale_First";
  TakeDrawing(s, w);
  ReadScale(s, w);
  ReachSet(s, w);
  Delete(s, w);
  Add(s, w);
}

void ViewScaleAll(Script& s, const sim::DocumentData& drawing, bool excludeFirst) {
  const char* w = "ViewScale_All";
  TakeDrawing(s, w);
  s.Silent(w, {"DrawingDocument.Sheets", "Sheets.Count"});
  for (const sim::SheetData& sheet : drawing.sheets) {
    s.Silent(w,
             {"DrawingDocument.Sheets", "Sheets.Item", "Sheet.DrawingViews", "DrawingViews.Count"});
    for (std::size_t view = 0; view < sheet.viewScales.size(); ++view) {
      ReadScale(s, w); // the entry
      ReadScale(s, w); // its key
    }
  }
  if (excludeFirst)
    ReadScale(s, w);
  ReachSet(s, w);
  Delete(s, w);
  Add(s, w);
}

// The size of the first sheet is read before error skipping.
void PaperSize(Script& s) {
  const char* w = "PaperSize";
  TakeDrawing(s, w);
  s.Outward(w, {"DrawingDocument.Sheets", "Sheets.Item", "Sheet.Size"});
  ReachSet(s, w);
  Delete(s, w);
  Add(s, w);
}

// Error skipping from the first step; every step asks for the active
// document anew. Without the component definition neither value is known;
// without the version it is not known whether the mass is in grams.
void MassVolume(Script& s) {
  const char* w = "Mass_Volume";
  s.Reads(w, true, true, {"Application.ActiveDocument", "Document.ComponentDefinitionByName"});
  s.Silent(w, {"ComponentDefinition.MassPropertiesByName", "MassProperties.SetAccuracyByName"});
  s.Reads(w, true, false,
          {"ComponentDefinition.MassPropertiesByName", "MassProperties.MassByName"});
  s.Reads(w, false, true,
          {"ComponentDefinition.MassPropertiesByName", "MassProperties.VolumeByName"});
  s.Reads(w, true, false, {"Application.ActiveDocument", "Document.VersionNumber"});
  const auto units = [&](const char* code) {
    s.Silent(w, {"Application.ActiveDocument", "Document.UnitsOfMeasure", code});
  };
  // The user-defined set, reached anew for the mass and for the volume.
  ReachSet(s, w);
  Delete(s, w);
  units("UnitsOfMeasure.MassUnits");
  Add(s, w);
  ReachSet(s, w);
  Delete(s, w);
  units("UnitsOfMeasure.LengthUnits");
  Add(s, w);
  // The design-tracking properties 9 and 43, overwritten in place.
  ReachSet(s, w);
  s.Silent(w, {"PropertySet.ItemByPropId"});
  units("UnitsOfMeasure.MassUnits");
  s.Silent(w, {"Property.SetValue"});
  ReachSet(s, w);
  s.Silent(w, {"PropertySet.ItemByPropId"});
  units("UnitsOfMeasure.LengthUnits");
  s.Silent(w, {"Property.SetValue"});
}

// Everything is read before error skipping; storing the three properties
// comes after it.
void SheetMetal(Script& s, const sim::DocumentData& part) {
  const char* w = "SheetMetal_Style";
  s.Outward(w, {"Application.ActiveDocument", "Document.AsPartDocument", "PartDocument.SubType"});
  if (part.subType != subtype::SheetMetalPart)
    return;
  s.Outward(w, {"PartDocument.ComponentDefinition",
                "PartComponentDefinition.AsSheetMetalComponentDefinition"});
  s.Outward(w, {"SheetMetalComponentDefinition.ActiveSheetMetalStyle", "SheetMetalStyle.Thickness",
                "Parameter.Value"});
  s.Outward(w, {"SheetMetalComponentDefinition.ActiveSheetMetalStyle", "SheetMetalStyle.Thickness",
                "Parameter.Units"});
  s.Outward(w, {"SheetMetalComponentDefinition.ActiveSheetMetalStyle", "SheetMetalStyle.Name"});
  s.Outward(w, {"Application.ActiveDocument", "Document.UnitsOfMeasure"});
  s.Outward(w, {"SheetMetalComponentDefinition.FlatPattern"});
  if (part.sheetMetal && part.sheetMetal->flatPattern) {
    // First coordinates of both corners, then second coordinates, each
    // through a fresh walk from the flat pattern.
    s.Outward(w, {"FlatPattern.Body", "SurfaceBody.RangeBox", "Box.MinPoint", "Point.X"});
    s.Outward(w, {"FlatPattern.Body", "SurfaceBody.RangeBox", "Box.MaxPoint", "Point.X"});
    s.Outward(w, {"FlatPattern.Body", "SurfaceBody.RangeBox", "Box.MinPoint", "Point.Y"});
    s.Outward(w, {"FlatPattern.Body", "SurfaceBody.RangeBox", "Box.MaxPoint", "Point.Y"});
    s.Outward(w, {"UnitsOfMeasure.GetStringFromValue", "UnitsOfMeasure.GetStringFromValue"});
  }
  ReachSet(s, w);
  Delete(s, w); // thickness
  Delete(s, w); // style
  Delete(s, w); // extents
  Add(s, w);
  Add(s, w);
  Add(s, w);
}

bool IsType(const sim::DocumentData* document, std::int32_t type) {
  return document && document->type == type;
}

// The drawing writers, in the order both entry points run them.
void DrawingWriters(Script& s, const sim::DocumentData& drawing, bool excludeFirst) {
  ViewScaleFirst(s);
  ViewScaleAll(s, drawing, excludeFirst);
  PaperSize(s);
}

} // namespace

std::vector<std::string> Names(const OperationScript& script) {
  std::vector<std::string> names;
  for (const ScriptedOperation& operation : script)
    names.push_back(operation.name);
  return names;
}

OperationScript ActivateScript() {
  OperationScript out;
  Script s(out);
  s.Outward("Activate", {"ApplicationAddInSite.Application", "Application.ApplicationEvents",
                         "ApplicationEvents.Advise"});
  return out;
}

// The handler has no error skipping of its own. The type of ActiveDoc is
// asked once before the drawing writers and twice before Mass_Volume; the
// sheet-metal test asks the application for its active document anew.
OperationScript SaveScript(const sim::DocumentData* active, bool excludeFirstInAllScales) {
  OperationScript out;
  Script s(out);
  const char* d = "dispatch";
  s.Outward(d, {"Application.ActiveDocument"});
  TimeStamp(s, active);
  if (!active)
    return out; // the type test fails on Nothing
  s.Outward(d, {"Document.DocumentType"});
  if (IsType(active, document_type::Drawing))
    DrawingWriters(s, *active, excludeFirstInAllScales);
  s.Outward(d, {"Document.DocumentType", "Document.DocumentType"});
  if (IsType(active, document_type::Part) || IsType(active, document_type::Assembly))
    MassVolume(s);
  s.Outward(d, {"Application.ActiveDocument", "Document.DocumentType"});
  if (IsType(active, document_type::Part))
    SheetMetal(s, *active);
  return out;
}

// Every type test asks the application for its active document anew.
OperationScript CommandScript(const sim::DocumentData* active, bool excludeFirstInAllScales) {
  OperationScript out;
  Script s(out);
  const char* c = "command";
  TimeStamp(s, active);
  s.Outward(c, {"Application.ActiveDocument"});
  if (!active)
    return out; // the type test fails on Nothing
  s.Outward(c, {"Document.DocumentType"});
  if (IsType(active, document_type::Drawing))
    DrawingWriters(s, *active, excludeFirstInAllScales);
  s.Outward(c, {"Application.ActiveDocument", "Document.DocumentType", "Application.ActiveDocument",
                "Document.DocumentType"});
  if (IsType(active, document_type::Part) || IsType(active, document_type::Assembly))
    MassVolume(s);
  s.Outward(c, {"Application.ActiveDocument", "Document.DocumentType"});
  if (IsType(active, document_type::Part))
    SheetMetal(s, *active);
  return out;
}

} // namespace vantelo::test
