// The catalogue of host operations the stand-in host answers, each named
// "Interface.Member" after the interface that declares the member in
// addin/host_model.h. Proxies name an operation through Operation(), which
// resolves the name at compile time, so a misspelt name does not build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantelo::sim {

inline constexpr std::string_view operationNames[] = {
    "ApplicationAddInSite.Application",
    "Application.ActiveDocument",
    "Application.ApplicationEvents",
    "Application.SetStatusBarText",
    "ApplicationEvents.Advise",
    "Document.DocumentType",
    "Document.PropertySets",
    "Document.UnitsOfMeasure",
    "Document.VersionNumber",
    "Document.ComponentDefinitionByName",
    "Document.AsDrawingDocument",
    "Document.AsPartDocument",
    "DrawingDocument.Sheets",
    "DrawingDocument.ActiveSheet",
    "PartDocument.SubType",
    "PartDocument.ComponentDefinition",
    "PropertySets.Item",
    "PropertySet.Item",
    "PropertySet.Add",
    "PropertySet.ItemByPropId",
    "Property.Delete",
    "Property.SetValue",
    "UnitsOfMeasure.LengthUnits",
    "UnitsOfMeasure.MassUnits",
    "UnitsOfMeasure.LengthDisplayPrecision",
    "UnitsOfMeasure.GetStringFromValue",
    "Sheets.Count",
    "Sheets.Item",
    "Sheet.Size",
    "Sheet.DrawingViews",
    "Sheet.PartsLists",
    "DrawingViews.Count",
    "DrawingViews.Item",
    "DrawingView.Scale",
    "PartsLists.Item",
    "PartsList.PartsListRows",
    "PartsListRows.Count",
    "PartsListRows.Item",
    "PartsListRow.Item",
    "PartsListCell.Value",
    "PartsListCell.SetValueByName",
    "ComponentDefinition.MassPropertiesByName",
    "MassProperties.SetAccuracyByName",
    "MassProperties.MassByName",
    "MassProperties.VolumeByName",
    "PartComponentDefinition.AsSheetMetalComponentDefinition",
    "SheetMetalComponentDefinition.ActiveSheetMetalStyle",
    "SheetMetalComponentDefinition.FlatPattern",
    "SheetMetalStyle.Thickness",
    "SheetMetalStyle.Name",
    "Parameter.Value",
    "Parameter.Units",
    "FlatPattern.Body",
    "SurfaceBody.RangeBox",
    "Box.MinPoint",
    "Box.MaxPoint",
    "Point.X",
    "Point.Y",
};

inline constexpr std::size_t operationCount = std::size(operationNames);

// An operation's position in operationNames.
using OperationId = std::uint16_t;

// Looks an operation up by name at run time; nothing when the host has no
// operation of that name.
constexpr std::optional<OperationId> FindOperation(std::string_view name) {
  for (std::size_t i = 0; i < operationCount; ++i)
    if (operationNames[i] == name)
      return static_cast<OperationId>(i);
  return std::nullopt;
}

// Looks an operation up by name at compile time.
consteval OperationId Operation(std::string_view name) {
  const auto id = FindOperation(name);
  if (!id)
    throw "not a host operation"; // not a constant expression: the call fails to compile
  return *id;
}

} // namespace vantelo::sim
