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

Ref<ApplicationAddInSite> NewAddInSite(StatePtr state);
Ref<Application> NewApplication(StatePtr state);
Ref<ApplicationEvents> NewApplicationEvents(StatePtr state);
// The context object that comes with a save notification.
Ref<HostObject> NewSaveContext(StatePtr state);

Ref<Document> NewDocument(StatePtr state, DocumentHandle document);
Ref<DrawingDocument> NewDrawingDocument(StatePtr state, DocumentHandle document);
Ref<PartDocument> NewPartDocument(StatePtr state, DocumentHandle document);

Ref<PropertySets> NewPropertySets(StatePtr state, DocumentHandle document);
Ref<UnitsOfMeasure> NewUnitsOfMeasure(StatePtr state, DocumentHandle document);

Ref<Sheets> NewSheets(StatePtr state, DocumentHandle document);
Ref<Sheet> NewSheet(StatePtr state, DocumentHandle document, std::size_t sheet);
Ref<PartsLists> NewPartsLists(StatePtr state, DocumentHandle document, std::size_t sheet);

Ref<ComponentDefinition> NewComponentDefinition(StatePtr state, DocumentHandle document);
Ref<PartComponentDefinition> NewPartComponentDefinition(StatePtr state, DocumentHandle document);

} // namespace vantelo::sim
