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
    return toLong(get(dispid::DocumentType, "DocumentType"), "DocumentType");
  }

  Ref<vantelo::PropertySets> PropertySets() override {
    return makePropertySets(
        objectAs(get(dispid::PropertySets, "PropertySets"), iid::PropertySets, "PropertySets"));
  }

  Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() override {
    return makeUnitsOfMeasure(objectAs(get(dispid::UnitsOfMeasure, "UnitsOfMeasure"),
                                       iid::UnitsOfMeasure, "UnitsOfMeasure"));
  }

  std::int32_t VersionNumber() override {
    return toLong(get(dispid::VersionNumber, "VersionNumber"), "VersionNumber");
  }

  Ref<vantelo::ComponentDefinition> ComponentDefinitionByName() override {
    return makeComponentDefinition(objectAs(getByName(member::ComponentDefinition),
                                            iid::ComponentDefinition, "ComponentDefinition"));
  }

  Ref<vantelo::DrawingDocument> AsDrawingDocument() override {
    return makeDrawingDocument(queryAs(iid::DrawingDocument, "a drawing document"));
  }

  Ref<vantelo::PartDocument> AsPartDocument() override {
    return makePartDocument(queryAs(iid::PartDocument, "a part document"));
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
    return makeSheets(objectAs(get(dispid::Sheets, "Sheets"), iid::Sheets, "Sheets"));
  }

  Ref<vantelo::Sheet> ActiveSheet() override {
    return makeSheet(objectAs(get(dispid::ActiveSheet, "ActiveSheet"), iid::Sheet, "ActiveSheet"));
  }
};

class PartDocumentAdapter final : public DocumentMembers<PartDocument> {
public:
  explicit PartDocumentAdapter(ComPtr<IDispatch> part)
      : DocumentMembers(std::move(part), "PartDocument") {}

  std::string SubType() override { return toText(get(dispid::SubType, "SubType"), "SubType"); }

  Ref<vantelo::PartComponentDefinition> ComponentDefinition() override {
    return makePartComponentDefinition(
        objectAs(get(dispid::PartComponentDefinition, "ComponentDefinition"),
                 iid::PartComponentDefinition, "ComponentDefinition"));
  }
};

} // namespace

Ref<Document> makeDocument(ComPtr<IDispatch> document) {
  return wrapped<DocumentAdapter>(std::move(document));
}

Ref<DrawingDocument> makeDrawingDocument(ComPtr<IDispatch> drawing) {
  return wrapped<DrawingDocumentAdapter>(std::move(drawing));
}

Ref<PartDocument> makePartDocument(ComPtr<IDispatch> part) {
  return wrapped<PartDocumentAdapter>(std::move(part));
}

} // namespace vantelo::com::host
