// A document as the Document, DrawingDocument and PartDocument interfaces.
// Each proxy answers the Document operations; the interface queries succeed
// only for the matching document type.
#include "simhost/proxies.h"

#include "addin/failure.h"

#include <memory>
#include <string>

namespace vantelo::sim {

namespace {

template <class Interface> class DocumentOperations : public Interface, protected DocumentBound {
protected:
  DocumentOperations(StatePtr state, std::string_view interfaceName, DocumentHandle document)
      : DocumentBound(std::move(state), interfaceName, std::move(document)) {}

public:
  std::int32_t DocumentType() override {
    Enter(Operation("Document.DocumentType"));
    return OpenDocument()->type;
  }

  Ref<vantelo::PropertySets> PropertySets() override {
    Enter(Operation("Document.PropertySets"));
    RequireOpen();
    return NewPropertySets(State(), Handle());
  }

  Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() override {
    Enter(Operation("Document.UnitsOfMeasure"));
    RequireOpen();
    return NewUnitsOfMeasure(State(), Handle());
  }

  std::int32_t VersionNumber() override {
    Enter(Operation("Document.VersionNumber"));
    return OpenDocument()->versionNumber;
  }

  Ref<vantelo::ComponentDefinition> ComponentDefinitionByName() override {
    Enter(Operation("Document.ComponentDefinitionByName"));
    const auto doc = OpenDocument();
    if (doc->type != document_type::Part && doc->type != document_type::Assembly)
      throw Failure(status::UnknownName, "document '" + doc->name +
                                             "' has no member ComponentDefinition (type " +
                                             std::to_string(doc->type) + ")");
    return NewComponentDefinition(State(), Handle());
  }

  Ref<vantelo::DrawingDocument> AsDrawingDocument() override {
    Enter(Operation("Document.AsDrawingDocument"));
    RequireType(document_type::Drawing, "a drawing");
    return NewDrawingDocument(State(), Handle());
  }

  Ref<vantelo::PartDocument> AsPartDocument() override {
    Enter(Operation("Document.AsPartDocument"));
    RequireType(document_type::Part, "a part");
    return NewPartDocument(State(), Handle());
  }

private:
  void RequireType(std::int32_t type, const char* what) const {
    const auto doc = OpenDocument();
    if (doc->type != type)
      throw Failure(hresult::NoInterface, "document '" + doc->name + "' is not " + what +
                                              " (type " + std::to_string(doc->type) + ")");
  }
};

class DocumentObject final : public DocumentOperations<Document> {
public:
  DocumentObject(StatePtr state, DocumentHandle document)
      : DocumentOperations(std::move(state), "Document", std::move(document)) {}
};

class DrawingDocumentObject final : public DocumentOperations<DrawingDocument> {
public:
  DrawingDocumentObject(StatePtr state, DocumentHandle document)
      : DocumentOperations(std::move(state), "DrawingDocument", std::move(document)) {}

  Ref<vantelo::Sheets> Sheets() override {
    Enter(Operation("DrawingDocument.Sheets"));
    RequireOpen();
    return NewSheets(State(), Handle());
  }

  Ref<vantelo::Sheet> ActiveSheet() override {
    Enter(Operation("DrawingDocument.ActiveSheet"));
    const auto doc = OpenDocument();
    if (doc->activeSheet >= doc->sheets.size())
      throw Failure(hresult::Fail, "drawing '" + doc->name + "' has no active sheet (index " +
                                       std::to_string(doc->activeSheet) + " of " +
                                       std::to_string(doc->sheets.size()) + " sheets)");
    return NewSheet(State(), Handle(), doc->activeSheet);
  }
};

class PartDocumentObject final : public DocumentOperations<PartDocument> {
public:
  PartDocumentObject(StatePtr state, DocumentHandle document)
      : DocumentOperations(std::move(state), "PartDocument", std::move(document)) {}

  std::string SubType() override {
    Enter(Operation("PartDocument.SubType"));
    return OpenDocument()->subType;
  }

  Ref<vantelo::PartComponentDefinition> ComponentDefinition() override {
    Enter(Operation("PartDocument.ComponentDefinition"));
    RequireOpen();
    return NewPartComponentDefinition(State(), Handle());
  }
};

} // namespace

Ref<Document> NewDocument(StatePtr state, DocumentHandle document) {
  return std::make_shared<DocumentObject>(std::move(state), std::move(document));
}

Ref<DrawingDocument> NewDrawingDocument(StatePtr state, DocumentHandle document) {
  return std::make_shared<DrawingDocumentObject>(std::move(state), std::move(document));
}

Ref<PartDocument> NewPartDocument(StatePtr state, DocumentHandle document) {
  return std::make_shared<PartDocumentObject>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
