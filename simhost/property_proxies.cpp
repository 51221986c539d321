// A document's property sets, a property set and a property.
#include "simhost/proxies.h"

#include "addin/failure.h"

#include <memory>
#include <string>

namespace vantelo::sim {

namespace {

class PropertySetsProxy final : public PropertySets, DocumentBound {
public:
  PropertySetsProxy(StatePtr state, DocumentHandle document)
      : DocumentBound(std::move(state), "PropertySets", std::move(document)) {}

  Ref<vantelo::PropertySet> Item(const std::string& formatId) override;
};

// A set, found again by its format identifier on every use.
class PropertySetProxy final : public PropertySet, DocumentBound {
public:
  PropertySetProxy(StatePtr state, DocumentHandle document, std::string formatId)
      : DocumentBound(std::move(state), "PropertySet", std::move(document)),
        formatId_(std::move(formatId)) {}

  Ref<vantelo::Property> Item(const std::string& name) override;
  void Add(const Value& value, const std::string& name) override;
  Ref<vantelo::Property> ItemByPropId(std::int32_t id) override;

private:
  Ref<vantelo::Property> HandOut(PropertySetData& set, const PropertyData& property);

  std::string formatId_;
};

// One property of a set: it stays usable until the property is deleted.
class PropertyProxy final : public Property, DocumentBound {
public:
  PropertyProxy(StatePtr state, DocumentHandle document, std::string formatId,
                std::weak_ptr<const PropertyData> property)
      : DocumentBound(std::move(state), "Property", std::move(document)),
        formatId_(std::move(formatId)), property_(std::move(property)) {}

  void Delete() override {
    Enter(Operation("Property.Delete"));
    const auto at = Locate();
    at.set->properties.Erase(at.id);
  }

  void SetValue(const std::string& text) override {
    Enter(Operation("Property.SetValue"));
    const auto at = Locate();
    at.set->properties.SetValue(at.id, text);
  }

private:
  struct Location {
    std::shared_ptr<DocumentData> document;
    PropertySetData* set;
    std::int32_t id;
  };

  Location Locate() const {
    auto doc = OpenDocument();
    const auto property = property_.lock();
    auto* set = doc->PropertySet(formatId_);
    if (!property || !set || set->properties.FindById(property->id) != property.get())
      throw Failure(status::Disconnected, "the property was deleted");
    return {std::move(doc), set, property->id};
  }

  std::string formatId_;
  std::weak_ptr<const PropertyData> property_;
};

PropertySetData& SetOf(DocumentData& doc, const std::string& formatId) {
  auto* set = doc.PropertySet(formatId);
  if (!set)
    throw Failure(status::Disconnected,
                  "property set " + formatId + " is gone from document '" + doc.name + "'");
  return *set;
}

Ref<vantelo::PropertySet> PropertySetsProxy::Item(const std::string& formatId) {
  Enter(Operation("PropertySets.Item"));
  const auto doc = OpenDocument();
  const auto* set = doc->PropertySet(formatId);
  if (!set)
    throw Failure(hresult::InvalidArg,
                  "document '" + doc->name + "' has no property set " + formatId);
  return std::make_shared<PropertySetProxy>(State(), Handle(), set->formatId);
}

Ref<vantelo::Property> PropertySetProxy::Item(const std::string& name) {
  Enter(Operation("PropertySet.Item"));
  const auto doc = OpenDocument();
  auto& set = SetOf(*doc, formatId_);
  const auto* property = set.properties.Find(name);
  if (!property)
    throw Failure(hresult::InvalidArg,
                  "property set " + set.formatId + " has no property '" + name + "'");
  return HandOut(set, *property);
}

void PropertySetProxy::Add(const Value& value, const std::string& name) {
  Enter(Operation("PropertySet.Add"));
  const auto doc = OpenDocument();
  auto& set = SetOf(*doc, formatId_);
  if (name.empty())
    throw Failure(hresult::InvalidArg, "property set " + set.formatId + ": empty property name");
  if (KindOf(value) == ValueKind::Object)
    throw Failure(hresult::DispTypeMismatch,
                  "property '" + name + "': an object cannot be a property value");
  set.properties.Add(name, value);
}

Ref<vantelo::Property> PropertySetProxy::ItemByPropId(std::int32_t id) {
  Enter(Operation("PropertySet.ItemByPropId"));
  const auto doc = OpenDocument();
  auto& set = SetOf(*doc, formatId_);
  const auto* property = set.properties.FindById(id);
  if (!property)
    throw Failure(hresult::InvalidArg, "property set " + set.formatId +
                                           " has no property with identifier " +
                                           std::to_string(id));
  return HandOut(set, *property);
}

Ref<vantelo::Property> PropertySetProxy::HandOut(PropertySetData& set,
                                                 const PropertyData& property) {
  return std::make_shared<PropertyProxy>(State(), Handle(), set.formatId,
                                         set.properties.Track(property));
}

} // namespace

Ref<PropertySets> NewPropertySets(StatePtr state, DocumentHandle document) {
  return std::make_shared<PropertySetsProxy>(std::move(state), std::move(document));
}

} // namespace vantelo::sim
