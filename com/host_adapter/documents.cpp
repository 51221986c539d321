// Documents: the members every document has, and the drawing and part
// documents that a document is taken as by an interface query.
#include "com/host_adapter/adapters.h"
#include "com/host_adapter/dispatch_object.h"
#include "com/host_adapter/host_ids.h"

namespace vantelo::com::host {

namespace {

template <class Interface> class DocumentMembers : public Interface, public DispatchObject {
public:
  DocumentMembers(ComPtr<IDispatch> document, const char* kind)
      : DispatchObject(std::move(document), kind) {}

  std::int32_t DocumentType() override {
    return ToLong(Get(dispid::DocumentType, "DocumentType"), "DocumentType");
  }

  Ref<vantelo::PropertySets> PropertySets() override {
    return MakePropertySets(
        ObjectAs(Get(dispid::PropertySets, "PropertySets"), iid::PropertySets, "PropertySets"));
  }

  Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() override {
    return MakeUnitsOfMeasure(ObjectAs(Get(dispid::UnitsOfMeasure, "UnitsOfMeasure"),
                                       iid::UnitsOfMeasure, "UnitsOfMeasure"));
  }

  std::int32_t VersionNumber() override {
    return ToLong(Get(dispid::VersionNumber, "VersionNumber"), "VersionNumber");
  }

  Ref<vantelo::ComponentDefinition> ComponentDefinitionByName() override {
    return MakeComponentDefinition(ObjectAs(GetByName(member::ComponentDefinition),
                                            iid::ComponentDefinition, "ComponentDefinition"));
  }

  Ref<vantelo::DrawingDocument> AsDrawingDocument() override {
    return MakeDrawingDocument(QueryAs(iid::DrawingDocument, "a drawing document"));
  }

  Ref<vantelo::PartDocument> AsPartDocument() override {
    return MakePartDocument(QueryAs(iid::PartDocument, "a part document"));
  }
};

class DocumentAdapter final : public DocumentMembers<Document> {
public:
  explicit DocumentAdapter(ComPtr<IDispatch> document)
      : DocumentMembers(std::move(document), "Document") {}
};

class DrawingDocumentAdapter final : public DocumentMembers<DrawingDocument> {
public:
  explicit DrawingDocumentAdapter(ComPtr<IDispatch> drawing)
      : DocumentMembers(std::move(drawing), "DrawingDocument") {}

  Ref<vantelo::Sheets> Sheets() override {
    return MakeSheets(ObjectAs(Get(dispid::Sheets, "Sheets"), iid::Sheets, "Sheets"));
  }

  Ref<vantelo::Sheet> ActiveSheet() override {
    return MakeSheet(ObjectAs(Get(dispid::ActiveSheet, "ActiveSheet"), iid::Sheet, "ActiveSheet"));
  }
};

class PartDocumentAdapter final : public DocumentMembers<PartDocument> {
public:
  explicit PartDocumentAdapter(ComPtr<IDispatch> part)
      : DocumentMembers(std::move(part), "PartDocument") {}

  std::string SubType() override { return ToText(Get(dispid::SubType, "SubType"), "SubType"); }

  Ref<vantelo::PartComponentDefinition> ComponentDefinition() override {
    return MakePartComponentDefinition(
        ObjectAs(Get(dispid::PartComponentDefinition, "ComponentDefinition"),
                 iid::PartComponentDefinition, "ComponentDefinition"));
  }
};

} // namespace

Ref<Document> MakeDocument(ComPtr<IDispatch> document) {
  return Wrapped<DocumentAdapter>(std::move(document));
}

Ref<DrawingDocument> MakeDrawingDocument(ComPtr<IDispatch> drawing) {
  return Wrapped<DrawingDocumentAdapter>(std::move(drawing));
}

Ref<PartDocument> MakePartDocument(ComPtr<IDispatch> part) {
  return Wrapped<PartDocumentAdapter>(std::move(part));
}

} // namespace vantelo::com::host
