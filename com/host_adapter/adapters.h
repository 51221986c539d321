// The host adapter: the add-in's host object model (addin/host_model.h)
// implemented over the host's automation objects. Each function wraps one
// host object, held through the IDispatch of the interface it was taken as,
// in an adapter allocated from `pool` (adapter_pool.h); a null object gives a
// null reference. The add-in site is a root, with a pool of its own.
#pragma once

#include "addin/host_model.h"
#include "com/com_ptr.h"
#include "com/host_adapter/adapter_pool.h"

#include <windows.h>

#include <oaidl.h>

namespace vantelo::com::host {

Ref<ApplicationAddInSite> MakeAddInSite(ComPtr<IDispatch> site);
Ref<Application> MakeApplication(AdapterPool& pool, ComPtr<IDispatch> application);
Ref<ApplicationEvents> MakeApplicationEvents(AdapterPool& pool, ComPtr<IDispatch> events);
Ref<Document> MakeDocument(AdapterPool& pool, ComPtr<IDispatch> document);
Ref<DrawingDocument> MakeDrawingDocument(AdapterPool& pool, ComPtr<IDispatch> drawing);
Ref<PartDocument> MakePartDocument(AdapterPool& pool, ComPtr<IDispatch> part);
Ref<PropertySets> MakePropertySets(AdapterPool& pool, ComPtr<IDispatch> sets);
Ref<PropertySet> MakePropertySet(AdapterPool& pool, ComPtr<IDispatch> set);
Ref<Property> MakeProperty(AdapterPool& pool, ComPtr<IDispatch> property);
Ref<UnitsOfMeasure> MakeUnitsOfMeasure(AdapterPool& pool, ComPtr<IDispatch> units);
Ref<Sheets> MakeSheets(AdapterPool& pool, ComPtr<IDispatch> sheets);
Ref<Sheet> MakeSheet(AdapterPool& pool, ComPtr<IDispatch> sheet);
Ref<DrawingViews> MakeDrawingViews(AdapterPool& pool, ComPtr<IDispatch> views);
Ref<DrawingView> MakeDrawingView(AdapterPool& pool, ComPtr<IDispatch> view);
Ref<PartsLists> MakePartsLists(AdapterPool& pool, ComPtr<IDispatch> lists);
Ref<PartsList> MakePartsList(AdapterPool& pool, ComPtr<IDispatch> list);
Ref<PartsListRows> MakePartsListRows(AdapterPool& pool, ComPtr<IDispatch> rows);
Ref<PartsListRow> MakePartsListRow(AdapterPool& pool, ComPtr<IDispatch> row);
Ref<PartsListCell> MakePartsListCell(AdapterPool& pool, ComPtr<IDispatch> cell);
Ref<ComponentDefinition> MakeComponentDefinition(AdapterPool& pool, ComPtr<IDispatch> definition);
Ref<MassProperties> MakeMassProperties(AdapterPool& pool, ComPtr<IDispatch> massProperties);
Ref<PartComponentDefinition> MakePartComponentDefinition(AdapterPool& pool,
                                                         ComPtr<IDispatch> definition);
Ref<SheetMetalComponentDefinition> MakeSheetMetalComponentDefinition(AdapterPool& pool,
                                                                     ComPtr<IDispatch> definition);
Ref<SheetMetalStyle> MakeSheetMetalStyle(AdapterPool& pool, ComPtr<IDispatch> style);
Ref<Parameter> MakeParameter(AdapterPool& pool, ComPtr<IDispatch> parameter);
Ref<FlatPattern> MakeFlatPattern(AdapterPool& pool, ComPtr<IDispatch> flatPattern);
Ref<SurfaceBody> MakeSurfaceBody(AdapterPool& pool, ComPtr<IDispatch> body);
Ref<Box> MakeBox(AdapterPool& pool, ComPtr<IDispatch> box);
Ref<Point> MakePoint(AdapterPool& pool, ComPtr<IDispatch> point);
// Any other host object (an event's context, an object-valued result).
Ref<HostObject> MakeHostObject(AdapterPool& pool, ComPtr<IDispatch> object);

} // namespace vantelo::com::host
