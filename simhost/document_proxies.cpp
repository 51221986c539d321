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
    enter(operation("Document.DocumentType"));
    return document()->type;
  }

  Ref<vantelo::PropertySets> PropertySets() override {
    enter(operation("Document.PropertySets"));
    requireOpen();
    return newPropertySets(state(), handle());
  }

  Ref<vantelo::UnitsOfMeasure> UnitsOfMeasure() override {
    enter(operation("Document.UnitsOfMeasure"));
    requireOpen();
    return newUnitsOfMeasure(state(), handle());
  }

  std::int32_t VersionNumber() override {
    enter(operation("Document.VersionNumber"));
    return document()->versionNumber;
  }

  Ref<vantelo::ComponentDefinition> ComponentDefinitionByName() override {
    enter(operation("Document.ComponentDefinitionByName"));
    const auto doc = document();
    if (doc->type != document_type::Part && doc->type != document_type::Assembly)
      throw Failure(status::UnknownName, "document '" + doc->name +
                                             "' has no member ComponentDefinition (type " +
                                             std::to_string(doc->type) + ")");
    return newComponentDefinition(state(), handle());
  }

  Ref<vantelo::DrawingDocument> AsDrawingDocument() override {
    enter(operation("Document.AsDrawingDocument"));
    requireType(document_type::Drawing, "a drawing");
    return newDrawingDocument(state(), handle());
  }

  Ref<vantelo::PartDocument> AsPartDocument() override {
    enter(operation("Document.AsPartDocument"));
    requireType(document_type::Part, "a part");
    return newPartDocument(state(), handle());
  }

private:
  void requireType(std::int32_t type, const char* what) const {
    const auto doc = document();
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
    enter(operation("DrawingDocument.Sheets"));
    requireOpen();
    return newSheets(state(), handle());
  }

  Ref<vantelo::Sheet> ActiveSheet() override {
    enter(operation("DrawingDocument.ActiveSheet"));
    const auto doc = document();
    if (doc->activeSheet >= doc->sheets.size())
      throw Failure(hresult::Fail, "drawing '" + doc->name + "' has no active sheet (index " +
                                       std::to_string(doc->activeSheet) + " of " +
                                       std::to_string(doc->sheets.size()) + " sheets)");
    return newSheet(state(), handle(), doc->activeSheet);
  }
};

class PartDocumentObject final : public DocumentOperations<PartDocument> {
public:
  PartDocumentObject(StatePtr state, DocumentHandle document)
      : DocumentOperations(std::move(state), "PartDocument", std::move(document)) {}

  std::string SubType() override {
    enter(operation("PartDocument.SubType"));
    return document()->subType;
  }

  Ref<vantelo::PartComponentDefinition> ComponentDefinition() override {
    enter(operation("PartDocument.ComponentDefinition"));
    requireOpen();
    return newPartComponentDefinition(state(), handle());
  }
};

} // namespace

Ref<Document> newDocument(StatePtr state, DocumentHandle document) {
  return std::make_shared<DocumentObject>(std::move(state), std::move(document));
}

Ref<DrawingDocument> newDrawingDocument(StatePtr state, DocumentHandle document) {
  return std::make_shared<DrawingDocumentObject>(std::move(state), std::move(document));
}

Ref<PartDocument> newPartDocument(StatePtr state, DocumentHandle document) {
  return std::make_shared<PartDocumentObject>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
