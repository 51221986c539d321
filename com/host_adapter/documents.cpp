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

  std::int32_t DocumentType() override { return GetLong(dispid::DocumentType, "DocumentType"); }

  Ref<vantelo::PropertySets> PropertySets() override {
    return MakePropertySets(GetObjectAs(dispid::PropertySets, "PropertySets", iid::PropertySets));
  }

  Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() override {
    return MakeUnitsOfMeasure(
        GetObjectAs(dispid::UnitsOfMeasure, "UnitsOfMeasure", iid::UnitsOfMeasure));
  }

  std::int32_t VersionNumber() override { return GetLong(dispid::VersionNumber, "VersionNumber"); }

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
    return MakeSheets(GetObjectAs(dispid::Sheets, "Sheets", iid::Sheets));
  }

  Ref<vantelo::Sheet> ActiveSheet() override {
    return MakeSheet(GetObjectAs(dispid::ActiveSheet, "ActiveSheet", iid::Sheet));
  }
};

class PartDocumentAdapter final : public DocumentMembers<PartDocument> {
public:
  explicit PartDocumentAdapter(ComPtr<IDispatch> part)
      : DocumentMembers(std::move(part), "PartDocument") {}

  std::string SubType() override { return GetText(dispid::SubType, "SubType"); }

  Ref<vantelo::PartComponentDefinition> ComponentDefinition() override {
    return MakePartComponentDefinition(GetObjectAs(
        dispid::PartComponentDefinition, "ComponentDefinition", iid::PartComponentDefinition));
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
