// The host adapter: the add-in's host object model (addin/host_model.h)
// implemented over the host's automation objects. Each function wraps one
// host object, held through the IDispatch of the interface it was taken as;
// a null object gives a null reference.
#pragma once

#include "addin/host_model.h"
#include "com/com_ptr.h"

#include <windows.h>

#include <oaidl.h>

namespace vantelo::com::host {

Ref<ApplicationAddInSite> MakeAddInSite(ComPtr<IDispatch> site);
Ref<Application> MakeApplication(ComPtr<IDispatch> application);
Ref<ApplicationEvents> MakeApplicationEvents(ComPtr<IDispatch> events);
Ref<Document> MakeDocument(ComPtr<IDispatch> document);
Ref<DrawingDocument> MakeDrawingDocument(ComPtr<IDispatch> drawing);
Ref<PartDocument> MakePartDocument(ComPtr<IDispatch> part);
Ref<PropertySets> MakePropertySets(ComPtr<IDispatch> sets);
Ref<PropertySet> MakePropertySet(ComPtr<IDispatch> set);
Ref<Property> MakeProperty(ComPtr<IDispatch> property);
Ref<UnitsOfMeasure> MakeUnitsOfMeasure(ComPtr<IDispatch> units);
Ref<Sheets> MakeSheets(ComPtr<IDispatch> sheets);
Ref<Sheet> MakeSheet(ComPtr<IDispatch> sheet);
Ref<DrawingViews> MakeDrawingViews(ComPtr<IDispatch> views);
Ref<DrawingView> MakeDrawingView(ComPtr<IDispatch> view);
Ref<PartsLists> MakePartsLists(ComPtr<IDispatch> lists);
Ref<PartsList> MakePartsList(ComPtr<IDispatch> list);
Ref<PartsListRows> MakePartsListRows(ComPtr<IDispatch> rows);
Ref<PartsListRow> MakePartsListRow(ComPtr<IDispatch> row);
Ref<PartsListCell> MakePartsListCell(ComPtr<IDispatch> cell);
Ref<ComponentDefinition> MakeComponentDefinition(ComPtr<IDispatch> definition);
Ref<MassProperties> MakeMassProperties(ComPtr<IDispatch> massProperties);
Ref<PartComponentDefinition> MakePartComponentDefinition(ComPtr<IDispatch> definition);
Ref<SheetMetalComponentDefinition> MakeSheetMetalComponentDefinition(ComPtr<IDispatch> definition);
Ref<SheetMetalStyle> MakeSheetMetalStyle(ComPtr<IDispatch> style);
Ref<Parameter> MakeParameter(ComPtr<IDispatch> parameter);
Ref<FlatPattern> MakeFlatPattern(ComPtr<IDispatch> flatPattern);
Ref<SurfaceBody> MakeSurfaceBody(ComPtr<IDispatch> body);
Ref<Box> MakeBox(ComPtr<IDispatch> box);
Ref<Point> MakePoint(ComPtr<IDispatch> point);
// Any other host object (an event's context, an object-valued result).
Ref<HostObject> MakeHostObject(ComPtr<IDispatch> object);

} // namespace vantelo::com::host
