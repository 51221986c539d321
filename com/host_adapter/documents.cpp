// Documents: the members every document has, and the drawing and part
// documents that a document is taken as by an interface query.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

template <class Interface> class DocumentMembers : public Interface, public DispatchObject {
public:
  DocumentMembers(ComPtr<IDispatch> document, const char* kind, AdapterPool& pool)
      : DispatchObject(std::move(document), kind, pool) {}

  std::int32_t DocumentType() override { return GetLong(dispid::DocumentType, "DocumentType"); }

  Ref<vantelo::PropertySets> PropertySets() override {
    return MakePropertySets(Pool(),
                            GetObjectAs(dispid::PropertySets, "PropertySets", iid::PropertySets));
  }

  Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() override {
    return MakeUnitsOfMeasure(
        Pool(), GetObjectAs(dispid::UnitsOfMeasure, "UnitsOfMeasure", iid::UnitsOfMeasure));
  }

  std::int32_t VersionNumber() override { return GetLong(dispid::VersionNumber, "VersionNumber"); }

  Ref<vantelo::ComponentDefinition> ComponentDefinitionByName() override {
    return MakeComponentDefinition(Pool(),
                                   ObjectAs(GetByName(member::ComponentDefinition),
                                            iid::ComponentDefinition, "ComponentDefinition"));
  }

  Ref<vantelo::DrawingDocument> AsDrawingDocument() override {
    return MakeDrawingDocument(Pool(), QueryAs(iid::DrawingDocument, "a drawing document"));
  }

  Ref<vantelo::PartDocument> AsPartDocument() override {
    return MakePartDocument(Pool(), QueryAs(iid::PartDocument, "a part document"));
  }
};

class DocumentAdapter final : public DocumentMembers<Document> {
public:
  DocumentAdapter(ComPtr<IDispatch> document, AdapterPool& pool)
      : DocumentMembers(std::move(document), "Document", pool) {}
};

class DrawingDocumentAdapter final : public DocumentMembers<DrawingDocument> {
public:
  DrawingDocumentAdapter(ComPtr<IDispatch> drawing, AdapterPool& pool)
      : DocumentMembers(std::move(drawing), "DrawingDocument", pool) {}

  Ref<vantelo::Sheets> Sheets() override {
    return MakeSheets(Pool(), GetObjectAs(dispid::Sheets, "Sheets", iid::Sheets));
  }

  Ref<vantelo::Sheet> ActiveSheet() override {
    return MakeSheet(Pool(), GetObjectAs(dispid::ActiveSheet, "ActiveSheet", iid::Sheet));
  }
};

class PartDocumentAdapter final : public DocumentMembers<PartDocument> {
public:
  PartDocumentAdapter(ComPtr<IDispatch> part, AdapterPool& pool)
      : DocumentMembers(std::move(part), "PartDocument", pool) {}

  std::string SubType() override { return GetText(dispid::SubType, "SubType"); }

  Ref<vantelo::PartComponentDefinition> ComponentDefinition() override {
    return MakePartComponentDefinition(Pool(), GetObjectAs(dispid::PartComponentDefinition,
                                                           "ComponentDefinition",
                                                           iid::PartComponentDefinition));
  }
};

} // namespace

Ref<Document> MakeDocument(AdapterPool& pool, ComPtr<IDispatch> document) {
  return Wrapped<DocumentAdapter>(pool, std::move(document));
}

Ref<DrawingDocument> MakeDrawingDocument(AdapterPool& pool, ComPtr<IDispatch> drawing) {
  return Wrapped<DrawingDocumentAdapter>(pool, std::move(drawing));
}

Ref<PartDocument> MakePartDocument(AdapterPool& pool, ComPtr<IDispatch> part) {
  return Wrapped<PartDocumentAdapter>(pool, std::move(part));
}

} // namespace vantelo::com::host
