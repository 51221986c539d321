// Factories of the stand-in host's objects, one per interface of
// addin/host_model.h that another object hands out. Each object is defined in
// the file of its subject: application_proxies, document_proxies,
// property_proxies, units_proxy, drawing_proxies, parts_list_proxies,
// part_proxies.
#pragma once

#include "addin/host_model.h"
#include "simhost/proxy.h"

#include <cstddef>

namespace vantelo::sim {

Ref<ApplicationAddInSite> newAddInSite(StatePtr state);
Ref<Application> newApplication(StatePtr state);
Ref<ApplicationEvents> newApplicationEvents(StatePtr state);
// The context object that comes with a save notification.
Ref<HostObject> newSaveContext(StatePtr state);

Ref<Document> newDocument(StatePtr state, DocumentHandle document);
Ref<DrawingDocument> newDrawingDocument(StatePtr state, DocumentHandle document);
Ref<PartDocument> newPartDocument(StatePtr state, DocumentHandle document);

Ref<PropertySets> newPropertySets(StatePtr state, DocumentHandle document);
Ref<UnitsOfMeasure> newUnitsOfMeasure(StatePtr state, DocumentHandle document);

Ref<Sheets> newSheets(StatePtr state, DocumentHandle document);
Ref<Sheet> newSheet(StatePtr state, DocumentHandle document, std::size_t sheet);
Ref<PartsLists> newPartsLists(StatePtr state, DocumentHandle document, std::size_t sheet);

Ref<ComponentDefinition> newComponentDefinition(StatePtr state, DocumentHandle document);
Ref<PartComponentDefinition> newPartComponentDefinition(StatePtr state, DocumentHandle document);

} // namespace vantelo::sim
