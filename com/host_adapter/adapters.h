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

Ref<ApplicationAddInSite> makeAddInSite(ComPtr<IDispatch> site);
Ref<Application> makeApplication(ComPtr<IDispatch> application);
Ref<ApplicationEvents> makeApplicationEvents(ComPtr<IDispatch> events);
Ref<Document> makeDocument(ComPtr<IDispatch> document);
Ref<DrawingDocument> makeDrawingDocument(ComPtr<IDispatch> drawing);
Ref<PartDocument> makePartDocument(ComPtr<IDispatch> part);
Ref<PropertySets> makePropertySets(ComPtr<IDispatch> sets);
Ref<PropertySet> makePropertySet(ComPtr<IDispatch> set);
Ref<Property> makeProperty(ComPtr<IDispatch> property);
Ref<UnitsOfMeasure> makeUnitsOfMeasure(ComPtr<IDispatch> units);
Ref<Sheets> makeSheets(ComPtr<IDispatch> sheets);
Ref<Sheet> makeSheet(ComPtr<IDispatch> sheet);
Ref<DrawingViews> makeDrawingViews(ComPtr<IDispatch> views);
Ref<DrawingView> makeDrawingView(ComPtr<IDispatch> view);
Ref<PartsLists> makePartsLists(ComPtr<IDispatch> lists);
Ref<PartsList> makePartsList(ComPtr<IDispatch> list);
Ref<PartsListRows> makePartsListRows(ComPtr<IDispatch> rows);
Ref<PartsListRow> makePartsListRow(ComPtr<IDispatch> row);
Ref<PartsListCell> makePartsListCell(ComPtr<IDispatch> cell);
Ref<ComponentDefinition> makeComponentDefinition(ComPtr<IDispatch> definition);
Ref<MassProperties> makeMassProperties(ComPtr<IDispatch> massProperties);
Ref<PartComponentDefinition> makePartComponentDefinition(ComPtr<IDispatch> definition);
Ref<SheetMetalComponentDefinition> makeSheetMetalComponentDefinition(ComPtr<IDispatch> definition);
Ref<SheetMetalStyle> makeSheetMetalStyle(ComPtr<IDispatch> style);
Ref<Parameter> makeParameter(ComPtr<IDispatch> parameter);
Ref<FlatPattern> makeFlatPattern(ComPtr<IDispatch> flatPattern);
Ref<SurfaceBody> makeSurfaceBody(ComPtr<IDispatch> body);
Ref<Box> makeBox(ComPtr<IDispatch> box);
Ref<Point> makePoint(ComPtr<IDispatch> point);
// Any other host object (an event's context, an object-valued result).
Ref<HostObject> makeHostObject(ComPtr<IDispatch> object);

} // namespace vantelo::com::host
